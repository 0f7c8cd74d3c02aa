// A helper of the tests under Wine: holds a file open as Excel holds a CSV file it shows,
// for reading, letting others read it but neither write nor remove it, until its standard
// input ends. It says "held" on its standard output once the file is open.
//
//   hold_file.exe out.csv

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::puts("held");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  CloseHandle(file);
  return 0;
}
