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

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Converts what can be converted in one pass, each byte that starts an
// invalid or incomplete sequence becoming U+FFFD.
std::string ConvertReplacing(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string result(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t used = 0;
  while (src_left > 0) {
    char* dst = result.data() + used;
    size_t dst_left = result.size() - used;
    const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    used = result.size() - dst_left;
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG || result.size() - used < kReplacement.size()) {
      result.resize(result.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: replace one byte and go on after it.
    result.replace(used, kReplacement.size(), kReplacement);
    used += kReplacement.size();
    ++src;
    --src_left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  result.resize(used);
  return result;
}

// The length of the valid UTF-8 sequence at s (n bytes available): 1 to 4,
// or 0 when the bytes there are not a whole valid character.
size_t Utf8SequenceLength(const unsigned char* s, size_t n) {
  const unsigned char c = s[0];
  if (c < 0x80) return 1;
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
    return 0;
  }
  if (len > n) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((s[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[k] & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

// True when the n bytes at s could begin a multi-byte UTF-8 character.
bool IsUtf8Prefix(const unsigned char* s, size_t n) {
  if (n == 0 || s[0] < 0xC2 || s[0] > 0xF4) return false;
  const size_t len = s[0] <= 0xDF ? 2 : s[0] <= 0xEF ? 3 : 4;
  if (n >= len) return false;
  for (size_t k = 1; k < n; ++k)
    if ((s[k] & 0xC0) != 0x80) return false;
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
  for (size_t i = 0; i < bytes.size();) {
    const size_t len = Utf8SequenceLength(s + i, bytes.size() - i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

TextEncoding DetectTextEncoding(std::string_view head, bool complete) {
  if (head.substr(0, 3) == kUtf8Bom) return TextEncoding::kUtf8;
  const auto* s = reinterpret_cast<const unsigned char*>(head.data());
  bool non_ascii = false;
  for (size_t i = 0; i < head.size();) {
    const size_t len = Utf8SequenceLength(s + i, head.size() - i);
    if (len == 0) {
      // The start of a character that the rest of the file completes.
      if (!complete && IsUtf8Prefix(s + i, head.size() - i)) break;
      return TextEncoding::kCp936;
    }
    non_ascii = non_ascii || len > 1;
    i += len;
  }
  return non_ascii ? TextEncoding::kUtf8 : TextEncoding::kCp936;
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (encoding == TextEncoding::kCp936) return ConvertReplacing("UTF-8", "CP936", bytes);
  std::string out;
  out.reserve(bytes.size());
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size();) {
    const size_t len = Utf8SequenceLength(s + i, bytes.size() - i);
    if (len == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(bytes.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string FileTextToUtf8(std::string_view bytes) {
  return DecodeText(bytes, DetectTextEncoding(bytes));
}

std::string Utf8ToFileText(std::string_view utf8) {
  std::string out;
  if (Utf8ToCp936(utf8, &out)) return out;
  return std::string(utf8);
}

std::string StoredTextToUtf8(std::string_view bytes) {
  // After the marker the bytes are taken as they are: a path may hold any.
  if (bytes.substr(0, 3) == kUtf8Bom) return std::string(bytes.substr(3));
  std::string out;
  if (Cp936ToUtf8(bytes, &out)) return out;
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeText(bytes, TextEncoding::kCp936);
}

std::string Utf8ToStoredText(std::string_view utf8) {
  std::string out;
  if (Utf8ToCp936(utf8, &out)) return out;
  // Also a string that is not valid UTF-8 (a path may hold any bytes) is
  // marked: it reads back byte for byte as it was written.
  return std::string(kUtf8Bom) + std::string(utf8);
}

}  // namespace common
