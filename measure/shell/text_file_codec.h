// How the text window shows a file and writes it back: the bytes of a file
// that is not edited are saved unchanged; an edited text is written in the
// file's own encoding and line ends.
#pragma once

#include <string>
#include <string_view>

namespace vistamet {

enum class TextEncoding {
  kUtf8,    // valid UTF-8 (plain ASCII included), with or without a BOM
  kCp936,   // valid code page 936 (GBK)
  kBinary,  // neither, or NUL bytes: shown approximately and read-only
};

struct DecodedText {
  std::string utf8;  // for display, line ends as '\n'
  TextEncoding encoding = TextEncoding::kUtf8;
  bool bom = false;    // UTF-8 with a byte order mark
  bool crlf = false;   // every line end in the file is "\r\n"
  bool Editable() const { return encoding != TextEncoding::kBinary; }
};

DecodedText DecodeTextFile(std::string_view bytes);

// The bytes of an edited text (`utf8` with '\n' line ends) in the encoding,
// BOM and line ends of `like`. False when a character has no form in that
// encoding (or the text is not editable); *out is then untouched.
bool EncodeTextFile(std::string_view utf8, const DecodedText& like, std::string* out);

}  // namespace vistamet
