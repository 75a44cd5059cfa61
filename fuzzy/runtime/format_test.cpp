#include "fuzzy/runtime/format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

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

// The text std::to_chars writes with Decimals places, without a negative zero.
std::string FixedReference(double Value, int Decimals) {
  char Buffer[400];
  const auto Result =
      std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, Decimals);
  std::string Text(Buffer, Result.ptr);
  if (Text[0] == '-' && Text.find_first_not_of("-0.") == std::string::npos) Text.erase(0, 1);
  return Text;
}

TEST(Format, FixedTextOfRoundAndOtherNumbersIsTheCorrectlyRoundedOne) {
  std::vector<double> Values = {0.0,
                                -0.0,
                                0.5,
                                -0.5,
                                0.6,
                                1.5,
                                7.5,
                                10.0,
                                0.1,
                                0.3,
                                1e-5,
                                -1e-5,
                                5e-5,
                                -5e-5,
                                1.0 / 3.0,
                                0.00005000000000000001,
                                0.12345,
                                0.12355,
                                2.5e-5,
                                450359962737.0496,
                                450359962737.0497,
                                -450359962737.0496,
                                4503599627370496.0,
                                1e15,
                                1e300};
  std::mt19937_64 Random(7);
  std::uniform_int_distribution<std::int64_t> Whole(-2000000, 2000000);
  std::uniform_real_distribution<double> Real(-1000, 1000);
  for (int I = 0; I < 2000; ++I) {
    const std::int64_t K = Whole(Random);
    Values.push_back(static_cast<double>(K) / 10000);
    Values.push_back(static_cast<double>(K) / 1000);
    Values.push_back(static_cast<double>(K) / 20000);  // halfway cases at four places
    Values.push_back(std::nextafter(static_cast<double>(K) / 10000, 0.0));
    Values.push_back(Real(Random));
  }
  for (const double Value : Values)
    for (const int Decimals : {0, 1, 2, 4, 6, 9})
      EXPECT_EQ(FloatToStrF(Value, Decimals), FixedReference(Value, Decimals)) << Value << ' ' << Decimals;
}

}  // namespace
}  // namespace fuzzy
