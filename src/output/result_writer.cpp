#include "output/result_writer.hpp"

namespace tradepl {

FileProblem writeResultLog(const std::string& path,
                           const std::function<void(ResultLog&)>& writeResults,
                           const BlockWrite& writeBlock) {
  WholeFile file(writeBlock);
  if (const FileProblem problem = file.create(path)) return problem;
  appendResultHeading(file.block());
  ResultLog log(file);
  writeResults(log);
  return file.commit();
}

}  // namespace tradepl
