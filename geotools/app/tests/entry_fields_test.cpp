// How the dialogs' number edits read and show their values.
#include <gtest/gtest.h>

#include "geotools/app/entry_fields.h"

namespace georeckon::test {
namespace {

TEST(EntryFields, ReadsOneNumberBetweenBlanksOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"30", true, 30},  {"  -1.5e3\t", true, -1500}, {"+.5", true, 0.5}, {"", false, 0},
      {"   ", false, 0}, {"1 2", false, 0},           {"3o", false, 0},   {"nan", false, 0},
      {"inf", false, 0}, {"1e999", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double v = -7;
    EXPECT_EQ(ParseEntryNumber(c.text, &v), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value);
    }
  }
  EXPECT_EQ(FormatEntryNumber(-2764128.3196), "-2764128.3196");
  EXPECT_EQ(RangeMessage(0, 1e20), "请填入一个在0和1e+20之间的数字。");
}

}  // namespace
}  // namespace georeckon::test
