#include "common/cp936.h"

#include <iconv.h>

#include <cerrno>

namespace common {

namespace {

// Converts with a fresh iconv descriptor; false on any invalid or
// unconvertible sequence.
bool Convert(const char* to, const char* from, std::string_view in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result;
  result.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t used = 0;
  bool ok = true;
  while (src_left > 0) {
    char* dst = result.data() + used;
    size_t dst_left = result.size() - used;
    const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    used = result.size() - dst_left;
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) {
        result.resize(result.size() * 2);
        continue;
      }
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  if (!ok) return false;
  result.resize(used);
  *out = std::move(result);
  return true;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

bool Cp936ToUtf8(std::string_view cp936, std::string* out) {
  if (IsAscii(cp936)) {
    out->assign(cp936);
    return true;
  }
  return Convert("UTF-8", "CP936", cp936, out);
}

bool Utf8ToCp936(std::string_view utf8, std::string* out) {
  if (IsAscii(utf8)) {
    out->assign(utf8);
    return true;
  }
  if (!IsValidUtf8(utf8)) return false;
  return Convert("CP936", "UTF-8", utf8, out);
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string FileTextToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  if (Convert("UTF-8", "CP936", bytes, &out)) return out;
  // Mixed or damaged text: convert piece by piece, replacing what is invalid.
  out.clear();
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    std::string piece;
    if (i + 1 < bytes.size() && Convert("UTF-8", "CP936", bytes.substr(i, 2), &piece)) {
      out += piece;
      i += 2;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string Utf8ToFileText(std::string_view utf8) {
  std::string out;
  if (Utf8ToCp936(utf8, &out)) return out;
  return std::string(utf8);
}

}  // namespace common
