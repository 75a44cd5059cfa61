#include "fuzzy/runtime/format.h"

#include <gtest/gtest.h>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {
namespace {

TEST(Format, Directives) {
  EXPECT_EQ(Format("Invalid operation: \"%s\".  Fuzzy set is empty", {"Get Average Y Value"}),
            "Invalid operation: \"Get Average Y Value\".  Fuzzy set is empty");
  EXPECT_EQ(Format("Index = %d", {2}), "Index = 2");
  EXPECT_EQ(Format("%.4f", {0.5}), "0.5000");
  EXPECT_EQ(Format("%.4f", {2.0 / 3.0}), "0.6667");
  EXPECT_EQ(Format("%.4f", {-1234.56786}), "-1234.5679");
  EXPECT_EQ(Format("%9.9d", {42}), "000000042");
  EXPECT_EQ(Format("%9.9d", {-42}), "-000000042");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("[%5s|%-5s]", {"ab", "cd"}), "[   ab|cd   ]");
  EXPECT_EQ(Format("%x", {255}), "FF");
}

TEST(Format, NegativeZeroIsWrittenWithoutSign) {
  EXPECT_EQ(Format("%.4f", {-0.0}), "0.0000");
  EXPECT_EQ(Format("%.4f", {-0.00004}), "0.0000");
  EXPECT_EQ(Format("%.4f", {-0.00005001}), "-0.0001");
}

TEST(Format, ArgumentsThatDoNotFitRaise) {
  EXPECT_THROW(Format("%d", {}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%.4f", {3}), EConvertError);
  EXPECT_THROW(Format("%s", {7}), EConvertError);
  EXPECT_THROW(Format("%q", {7}), EConvertError);
  EXPECT_THROW(Format("trailing %", {7}), EConvertError);
  try {
    Format("%d items", {"x"});
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Format '%d items' invalid or incompatible with argument");
  }
}

TEST(Format, NumberTextsIgnoreLocaleAndRoundTrip) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(-2.5), "-2.5");
  EXPECT_EQ(StrToFloat(" 1.25 "), 1.25);
  EXPECT_EQ(StrToFloat("+3"), 3.0);
  double V = 0;
  EXPECT_FALSE(TryStrToFloat("1,5", V));
  EXPECT_FALSE(TryStrToFloat("", V));
  EXPECT_FALSE(TryStrToFloat("-inf", V));
  EXPECT_FALSE(TryStrToFloat("+nan", V));
  EXPECT_FALSE(TryStrToFloat("+-5", V));
  EXPECT_FALSE(TryStrToFloat("0x10", V));
  EXPECT_TRUE(TryStrToFloat("-1.5e3", V));
  EXPECT_EQ(V, -1500.0);
  EXPECT_THROW(StrToFloat("abc"), EConvertError);
  EXPECT_EQ(StrToInt("-12"), -12);
  EXPECT_THROW(StrToInt("1.5"), EConvertError);
  EXPECT_THROW(StrToInt("+-1"), EConvertError);
  EXPECT_EQ(IntToStr(-7), "-7");
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimRight("  x  "), "  x");
}

TEST(Format, TrimCutsBothEndsAsTheOneSidedTrimsDo) {
  using namespace std::string_literals;
  for (const std::string& S : {""s, " "s, " \t\r\n "s, "x"s, " x"s, "x "s, "  a  b  "s, "\0a\0"s,
                               "\xA0"
                               "a\xA0"s,
                               "\x01\x1F a \x7F"s, "[very warm] or x"s}) {
    EXPECT_EQ(Trim(S), TrimLeft(TrimRight(S))) << S;
    EXPECT_EQ(TrimView(S), Trim(S)) << S;
  }
}

}  // namespace
}  // namespace fuzzy
