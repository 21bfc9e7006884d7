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

// Whole text files from other tools (point lists, known distances, batch
// inputs) come in either encoding; it is decided once per file, never per
// line or field: UTF-8 when the text starts with a byte order mark, or when
// it is valid UTF-8 and holds a non-ASCII character; CP936 otherwise. With
// `complete` false, `head` is the start of a longer file and may end inside
// a character.
enum class TextEncoding { kCp936, kUtf8 };
TextEncoding DetectTextEncoding(std::string_view head, bool complete = true);

// `bytes` in UTF-8 from the given encoding; bytes that are invalid in it
// become U+FFFD. A byte order mark is kept. Never fails.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

// A whole text file in UTF-8: DecodeText with the encoding the text itself
// shows (DetectTextEncoding). Never fails.
std::string FileTextToUtf8(std::string_view bytes);

// For a whole text file written for either world: CP936 where every
// character has a CP936 form, otherwise the UTF-8 bytes unchanged (which
// FileTextToUtf8 reads back).
std::string Utf8ToFileText(std::string_view utf8);

// Single strings inside a file whose format defines them as CP936 (titles
// and paths in project files, the stored text of GeoReckon documents). Such
// a string is read as CP936, never guessed from its bytes: "目录" is C4 BF
// C2 BC in CP936, which is also valid UTF-8. A string with a character that
// has no CP936 form is stored as UTF-8 behind a UTF-8 byte order mark, the
// marker the reader recognises (the bytes after it are returned as they
// are, so any path round-trips). A string without the marker that is not
// valid CP936 but valid UTF-8 (written by earlier versions) is read as UTF-8.
std::string StoredTextToUtf8(std::string_view bytes);
std::string Utf8ToStoredText(std::string_view utf8);

}  // namespace common
