#include <iostream>

#include "app/converter.hpp"

int main(int argc, char** argv) {
  return tradepl::runConverter(argc, argv, std::cout, std::cerr);
}
