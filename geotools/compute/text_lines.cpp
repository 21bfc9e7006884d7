#include "geotools/compute/text_lines.h"

#include "common/cp936.h"

namespace georeckon {

std::string_view StripUtf8Bom(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

bool LineCursor::Next(std::string_view* line) {
  if (pos_ >= text_.size()) return false;
  const size_t end = text_.find('\n', pos_);
  if (end == std::string_view::npos) {
    *line = text_.substr(pos_);
    pos_ = text_.size();
  } else {
    *line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
  }
  ++line_number_;
  return true;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string_view UpToNul(std::string_view line) {
  const size_t nul = line.find('\0');
  return nul == std::string_view::npos ? line : line.substr(0, nul);
}

size_t CodePageLength(std::string_view line, common::TextEncoding encoding) {
  if (encoding == common::TextEncoding::kCp936) return line.size();
  size_t length = 0;
  for (unsigned char c : line) {
    if (c < 0x80) {
      length += 1;
    } else if (c >= 0xC0) {
      length += 2;  // the lead byte of a multi-byte character
    }
  }
  return length;
}

}  // namespace georeckon
