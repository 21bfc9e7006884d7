// Switches one category of the C locale for the life of a scope, for tests
// that prove a reader or writer does not depend on the process locale.
#pragma once

#include <clocale>
#include <string>

namespace common {

// The comma-decimal locale the tests use; scripts/setup.sh generates it.
inline constexpr char kCommaDecimalLocale[] = "de_DE.UTF-8";

class ScopedLocale {
 public:
  ScopedLocale(int category, const char* name) : category_(category) {
    const char* old = std::setlocale(category, nullptr);
    saved_ = old ? old : "C";
    ok_ = std::setlocale(category, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(category_, saved_.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  // False when the locale is not installed (the category is unchanged).
  bool ok() const { return ok_; }

 private:
  int category_;
  std::string saved_;
  bool ok_ = false;
};

}  // namespace common
