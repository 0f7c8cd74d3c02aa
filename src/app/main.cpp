#include <iostream>
#include <string>
#include <vector>

#include "app/converter.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace {

int run(const std::vector<std::string>& arguments) {
  tradepl::platform::prepareProcess();
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return tradepl::runConverter(static_cast<int>(argv.size()), argv.data(), std::cout, std::cerr);
}

}  // namespace

#ifdef _WIN32
// The command line in UTF-16, so that a path in any script reaches the program whole.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(tradepl::platform::narrow(argv[i]));
  return run(arguments);
}
#else
int main(int argc, char** argv) {
  return run(std::vector<std::string>(argv, argv + argc));
}
#endif
