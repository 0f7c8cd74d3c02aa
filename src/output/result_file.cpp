#include "output/result_file.hpp"

namespace tradepl {

FileProblem ResultFile::create(const std::string& path) {
  if (const FileProblem problem = file_.open(path)) return problem;
  appendResultHeading(file_.block(), detail_);
  return {};
}

}  // namespace tradepl
