#include "output/result_writer.hpp"

namespace tradepl {

std::string writeResultLog(const std::string& path,
                           const std::function<void(ResultLog&)>& writeResults,
                           const BlockWrite& writeBlock) {
  WholeFile file(writeBlock);
  if (std::string failure = file.create(path); !failure.empty()) return failure;
  appendResultHeading(file.block());
  ResultLog log(file);
  writeResults(log);
  return file.commit();
}

}  // namespace tradepl
