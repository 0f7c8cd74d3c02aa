#include "output/result_file.hpp"

namespace tradepl {

FileProblem ResultFile::create(const std::string& path) {
  if (const FileProblem problem = file_.open(path)) return problem;
  std::string heading;
  appendResultHeading(heading, detail_);
  file_.append(heading);
  return {};
}

}  // namespace tradepl
