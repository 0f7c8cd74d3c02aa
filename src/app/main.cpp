#include <iostream>
#include <string>
#include <vector>

#include "app/converter.hpp"
#include "platform/console.hpp"

int main(int argc, char** argv) {
  tradepl::platform::prepareProcess();
  const std::vector<std::string> arguments = tradepl::platform::commandLine(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  return tradepl::runConverter(static_cast<int>(pointers.size()), pointers.data(), std::cout,
                               std::cerr);
}
