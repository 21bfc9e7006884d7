#include "measure/shell/text_file_codec.h"

#include "common/cp936.h"

namespace vistamet {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// True when there is at least one line end and every '\n' follows a '\r'.
bool AllCrLf(std::string_view s) {
  bool any = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\n') continue;
    if (i == 0 || s[i - 1] != '\r') return false;
    any = true;
  }
  return any;
}

std::string WithoutCr(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out.push_back(s[i]);
  }
  return out;
}

}  // namespace

DecodedText DecodeTextFile(std::string_view bytes) {
  DecodedText d;
  d.crlf = AllCrLf(bytes);
  const bool has_nul = bytes.find('\0') != std::string_view::npos;
  std::string utf8;
  if (!has_nul && common::IsValidUtf8(bytes)) {
    d.encoding = TextEncoding::kUtf8;
    if (bytes.substr(0, kBom.size()) == kBom) {
      d.bom = true;
      bytes.remove_prefix(kBom.size());
    }
    utf8.assign(bytes);
  } else if (!has_nul && common::Cp936ToUtf8(bytes, &utf8)) {
    d.encoding = TextEncoding::kCp936;
  } else {
    d.encoding = TextEncoding::kBinary;
    utf8 = common::FileTextToUtf8(bytes);
    // A text control ends its text at the first NUL.
    for (char& c : utf8)
      if (c == '\0') c = ' ';
  }
  d.utf8 = d.crlf ? WithoutCr(utf8) : std::move(utf8);
  return d;
}

bool EncodeTextFile(std::string_view utf8, const DecodedText& like, std::string* out) {
  if (!like.Editable() || !common::IsValidUtf8(utf8)) return false;
  std::string text;
  text.reserve(utf8.size() + utf8.size() / 16);
  for (char c : utf8) {
    if (c == '\n' && like.crlf) text.push_back('\r');
    text.push_back(c);
  }
  if (like.encoding == TextEncoding::kCp936) {
    std::string bytes;
    if (!common::Utf8ToCp936(text, &bytes)) return false;
    *out = std::move(bytes);
    return true;
  }
  *out = like.bom ? std::string(kBom) + text : std::move(text);
  return true;
}

}  // namespace vistamet
