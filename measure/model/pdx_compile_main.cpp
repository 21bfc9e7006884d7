// Compiles the readable symbol source into the binary library file:
//   vistamet-pdx SOURCE.txt OUT.pdx
#include <cstdio>
#include <string>

#include "common/atomic_file.h"
#include "measure/model/symbol_library.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vistamet-pdx SOURCE.txt OUT.pdx\n");
    return 2;
  }
  std::string text, error;
  if (!common::ReadWholeFile(argv[1], &text, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  vistamet::SymbolLibrary library;
  if (!vistamet::ParseSymbolSource(text, &library, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  if (!common::SaveFileAtomically(argv[2], vistamet::WritePdxBytes(library), &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
