#include "measure/shell/number_field.h"

#include <gtest/gtest.h>

#include "common/scoped_locale.h"

namespace vistamet {
namespace {

TEST(NumberFields, FormatAndParseIndependentOfTheLocale) {
  common::ScopedLocale comma(LC_ALL, common::kCommaDecimalLocale);
  ASSERT_TRUE(comma.ok()) << common::kCommaDecimalLocale << " is missing: run scripts/setup.sh";
  EXPECT_EQ(FormatReal(0.0005), "0.0005");
  EXPECT_EQ(FormatReal(7.52), "7.52");
  EXPECT_EQ(FormatReal(1.5), "1.5");
  EXPECT_EQ(FormatReal(0.000001), "1e-06");
  EXPECT_EQ(FormatReal(-10000), "-10000");
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case reals[] = {{" 1.5 ", true, 1.5}, {"+2", true, 2},   {"-0.25", true, -0.25},
                        {"1e3", true, 1000},  {"1,5", false, 0}, {"", false, 0},
                        {"1e400", false, 0},  {"nan", false, 0}, {"1.5x", false, 0}};
  for (const Case& c : reals) {
    double v = -1;
    EXPECT_EQ(ParseReal(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  int32_t n = 0;
  EXPECT_TRUE(ParseInteger(" 42", &n));
  EXPECT_EQ(n, 42);
  EXPECT_FALSE(ParseInteger("4.0", &n));
  EXPECT_FALSE(ParseInteger("99999999999", &n));
  EXPECT_FALSE(ParseInteger("", &n));
}

TEST(NumberFields, ProblemsNameTheFieldsRange) {
  const NumberRange any;
  const NumberRange weights{true, 0.000001, 1000};
  const NumberRange iterations{true, 1, 500};
  EXPECT_EQ(RealFieldProblem("2.5", any), "");
  EXPECT_EQ(RealFieldProblem("-1e9", any), "");
  EXPECT_EQ(RealFieldProblem("abc", any), "请键入一个数。");
  EXPECT_EQ(RealFieldProblem("0", weights), "请填入一个在1e-06和1000之间的数字。");
  EXPECT_EQ(RealFieldProblem("1000", weights), "");
  EXPECT_EQ(IntegerFieldProblem("12", iterations), "");
  EXPECT_EQ(IntegerFieldProblem("1.5", iterations), "请键入一个整数。");
  EXPECT_EQ(IntegerFieldProblem("501", iterations), "请填入一个在1和500之间的整数。");
  EXPECT_EQ(IntegerFieldProblem("0", iterations), "请填入一个在1和500之间的整数。");
}

}  // namespace
}  // namespace vistamet
