#include "common/strformat.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(StrFormat, MatchesPrintfForShortAndLongResults) {
  EXPECT_EQ(StrFormat("%13.4lf|%d", 3.14159, -7), "       3.1416|-7");
  const std::string long_text(1000, 'x');
  EXPECT_EQ(StrFormat("<%s>", long_text.c_str()), "<" + long_text + ">");
  std::string out = "a";
  StrAppendFormat(&out, "%03d", 5);
  StrAppendFormat(&out, "%s", long_text.c_str());
  EXPECT_EQ(out, "a005" + long_text);
}

}  // namespace
}  // namespace common
