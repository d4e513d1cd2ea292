// A second process for the end-to-end tests: opens the file named by its
// argument in shared read-only mode, as a user of the suite holds an index,
// says "held" on its output, and keeps the file open until its input ends.

#include <iostream>
#include <string>

#include "platform/system.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  auto fs = converte::platform::newSystemFileSystem();
  auto file = fs->open(argv[1], converte::platform::Access::ReadOnly,
                       converte::platform::ShareMode::Shared);
  if (!file) {
    std::cout << "failed " << file.error().osCode << std::endl;
    return 1;
  }
  std::cout << "held" << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
