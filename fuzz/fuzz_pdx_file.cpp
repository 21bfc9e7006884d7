// The symbol library reader: a library it accepts writes back to bytes that
// it reads again to the same number of symbols.
#include "fuzz/fuzz_support.h"
#include "measure/model/symbol_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vistamet::SymbolLibrary library;
  std::string error;
  if (!vistamet::ReadPdxBytes(fuzz::Bytes(data, size), &library, &error)) return 0;
  vistamet::SymbolLibrary again;
  fuzz::Require(vistamet::ReadPdxBytes(vistamet::WritePdxBytes(library), &again, &error) == 1);
  fuzz::Require(again.symbols.size() == library.symbols.size());
  return 0;
}
