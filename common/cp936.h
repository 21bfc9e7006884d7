// Conversion between UTF-8 (every string inside the programs) and code page
// 936 (GBK), the encoding of the strings in the files that the programs share
// with their Windows users.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Strict conversions: false (and *out untouched) when the input is not valid
// in the source encoding or a character has no equivalent in the target.
bool Cp936ToUtf8(std::string_view cp936, std::string* out);
bool Utf8ToCp936(std::string_view utf8, std::string* out);

// True when the bytes form valid UTF-8 (pure ASCII included).
bool IsValidUtf8(std::string_view bytes);

// For text read from a file that may come from either world: valid UTF-8 is
// kept as it is, otherwise the bytes are read as CP936; bytes that are valid
// in neither become U+FFFD. Never fails.
std::string FileTextToUtf8(std::string_view bytes);

// For text written to such a file: CP936 where every character has a CP936
// form, otherwise the UTF-8 bytes unchanged (which FileTextToUtf8 reads back).
std::string Utf8ToFileText(std::string_view utf8);

}  // namespace common
