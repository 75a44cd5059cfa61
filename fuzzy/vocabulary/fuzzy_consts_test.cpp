#include "fuzzy/vocabulary/fuzzy_consts.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace fuzzy {
namespace {

TEST(FuzzyConsts, MessagesFormatToTheirExactTexts) {
  EXPECT_EQ(Format(SInvalidFuzzyOperation, {GetEnumName(foSum)}), "Invalid fuzzy operation: \"foSum:");
  EXPECT_EQ(Format(SFuzzySetEmpty, {"Get Average Y Value"}),
            "Invalid operation: \"Get Average Y Value\".  Fuzzy set is empty");
  EXPECT_EQ(Format(SInvalidFuzzySetName, {"very"}), "Invalid fuzzy set name, \"very\" is a reserved word");
  EXPECT_EQ(Format(SMax3XValues, {0.5}), "Invalid x value.  Maximum of 3 values with same X value: 0.5000");
  EXPECT_EQ(Format(SInvalidXRangeIndex, {3}), "Invalid index argument to GetXRange.  Index = 3");
  EXPECT_EQ(Format(SInvalidRangeArguments, {2.0, 1.0}),
            "Invalid range arguments.  Left (2.0000) is greater than right (1.0000)");
  EXPECT_EQ(Format(SFzyParseError, {"Unknown", "ReadTerm", "4", "(tri 1"}),
            "Parsing Error, Unknown in ReadTerm at line 4: \"(tri 1\"");
  EXPECT_EQ(Format(SFzyArgNumWrong, {"pi", SPIArgsExpected}),
            "Number of arguments for function, pi, incorrect.  Expected \"\"Left Right Center\" or \"Range "
            "Center\"\"");
  EXPECT_EQ(Format(SFzyArgMinNumWrong, {"beta", 3}),
            "Minimum number of arguments for function, beta, incorrect.  Expected 3 or more");
  EXPECT_EQ(Format(SFzyArgTypeWrong, {"tri", STriArgsExpected}),
            "Data Types of arguments for function, tri, incorrect.  Expected \"Left Middle Right\"");
  EXPECT_EQ(SCurveArgsExpected, "\"Left Right Inflection_Point\"");
  EXPECT_EQ(SBetaArgsExpected,
            "\"Range Center Inflection_Point\" or \"Range Center Inflection_Point Weight\"");
  EXPECT_EQ(Format(SInvalidFuzzyVarName, {"x"}), "Invalid fuzzy variable name, \"x\"");
  EXPECT_EQ(Format(SUnknownFuzzySetName, {"warm"}), "Unknown Fuzzy Set name: \"warm\"");
  EXPECT_EQ(Format(SUnknownFuzzyVarName, {"temp"}), "Unknown Fuzzy Variable name: \"temp\"");
  EXPECT_EQ(Format(SUnknownFunctionName, {"foo"}), "Unknown function name: \"foo\"");
  EXPECT_EQ(SParserUnassigned, "Parser not assigned.  Cannot parse");
  EXPECT_EQ(SMissingFuzzyVariable, "Missing fuzzy linguistic variable");
  EXPECT_EQ(SFuzzyLogicNotSet, "Fuzzy Logic component must be specified to parse");
  EXPECT_EQ(SFuzzyLogicNotTFuzzyLogic, "FuzzyLogic property must be of type TFuzzyLogic or descendant");
  EXPECT_EQ(SFuzzyLogicNotTIFuzzyLogic, "FuzzyLogic property must be of type TIFuzzyLogic or descendant");
}

TEST(FuzzyConsts, TablesConstantsAndValueNames) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(ONE_THIRD), 0x3FD5555555555555u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(TWO_THIRDS), 0x3FE5555555555555u);
  EXPECT_EQ(HedgeModifiers[fhSomewhat], ONE_THIRD);
  EXPECT_EQ(HedgeModifiers[fhGenerally], 0.5);
  EXPECT_EQ(HedgeNames[fhGenerally], "generally");

  EXPECT_EQ(TEnumNames<TFuzzyHedge>::Names.size(), 20u);
  EXPECT_EQ(TEnumNames<TBaseFuzzyHedge>::Names.size(), 9u);
  EXPECT_EQ(TEnumNames<TFuzzyStreamTokenType>::Names.size(), 11u);
  EXPECT_EQ(GetEnumName(bfgCutLessEq), "bfgCutLessEq");
  EXPECT_EQ(GetEnumName(fstGrowthCurve), "fstGrowthCurve");
  EXPECT_EQ(GetEnumName(fstFuzzySet), "fstFuzzySet");
  EXPECT_EQ(GetEnumName(dmMeanOfMaxima), "dmMeanOfMaxima");
  TFuzzyInferenceMethod Method = fimMinMax;
  EXPECT_TRUE(GetEnumValue("fimAdditive", Method));
  EXPECT_EQ(Method, fimAdditive);
}

TEST(FuzzyConsts, RecognisersAreExactAndCaseSensitive) {
  TFuzzyHedge Hedge = fhNot;
  EXPECT_TRUE(IsFuzzyHedge("generally", Hedge));
  EXPECT_EQ(Hedge, fhGenerally);
  EXPECT_FALSE(IsFuzzyHedge("Very", Hedge));
  EXPECT_FALSE(IsFuzzyHedge("very "));
  EXPECT_EQ(Hedge, fhGenerally);
  EXPECT_TRUE(IsFuzzyHedge("very"));

  TFuzzyOperation Operation = foZadeh;
  TFuzzyInferenceMethod Inference = fimMinMax;
  TFuzzyCorrelationMethod Correlation = fcmMinimum;
  EXPECT_FALSE(IsFuzzyOperation("Sum", Operation));
  EXPECT_FALSE(IsFuzzyInference("Min-Max", Inference));
  EXPECT_FALSE(IsFuzzyCorrelation("Product", Correlation));
  EXPECT_EQ(Operation, foZadeh);
  EXPECT_EQ(Inference, fimMinMax);
  EXPECT_EQ(Correlation, fcmMinimum);

  // Words shared by several tables answer with each table's own value.
  EXPECT_TRUE(IsFuzzyOperation("product", Operation));
  EXPECT_TRUE(IsFuzzyInference("product", Inference));
  EXPECT_TRUE(IsFuzzyCorrelation("product", Correlation));
  EXPECT_EQ(Operation, foProduct);
  EXPECT_EQ(Inference, fimProduct);
  EXPECT_EQ(Correlation, fcmProduct);
  EXPECT_TRUE(IsFuzzyOperation("sum", Operation));
  EXPECT_TRUE(IsFuzzyInference("sum", Inference));
  EXPECT_EQ(Operation, foSum);
  EXPECT_EQ(Inference, fimAdditive);
  EXPECT_FALSE(IsFuzzyCorrelation("sum", Correlation));
  EXPECT_FALSE(IsFuzzyOperation("and-sum", Operation));
}

TEST(FuzzyConsts, HedgeOperatorsInPlainAndXForm) {
  TBaseFuzzyHedge Hedge = bfhAdd;
  bool ModifyY = true;
  EXPECT_TRUE(IsFuzzyHedgeOperator("<=X", Hedge, ModifyY));
  EXPECT_EQ(Hedge, bfgCutLessEq);
  EXPECT_FALSE(ModifyY);
  EXPECT_TRUE(IsFuzzyHedgeOperator("<", Hedge, ModifyY));
  EXPECT_EQ(Hedge, bfhCutLess);
  EXPECT_TRUE(ModifyY);
  EXPECT_TRUE(IsFuzzyHedgeOperator(">=", Hedge, ModifyY));
  EXPECT_EQ(Hedge, bfhCutGreaterEq);
  EXPECT_TRUE(IsFuzzyHedgeOperator("^X"));

  ModifyY = false;
  for (const std::string_view Miss : {"+x", "X", "", "+XX", "<X=", "=", "++"}) {
    EXPECT_FALSE(IsFuzzyHedgeOperator(Miss, Hedge, ModifyY)) << Miss;
    EXPECT_FALSE(IsFuzzyHedgeOperator(Miss)) << Miss;
  }
  EXPECT_EQ(Hedge, bfhCutGreaterEq);
  EXPECT_FALSE(ModifyY);
}

TEST(FuzzyConsts, Keywords) {
  bool IsUnion = false;
  TFuzzyOperation Operation = foZadeh;
  EXPECT_TRUE(IsFuzzyKeyword("or-sum", IsUnion, Operation));
  EXPECT_TRUE(IsUnion);
  EXPECT_EQ(Operation, foSum);
  EXPECT_TRUE(IsFuzzyKeyword("and-meansqr", IsUnion, Operation));
  EXPECT_FALSE(IsUnion);
  EXPECT_EQ(Operation, foMeanSqr);
  EXPECT_TRUE(IsFuzzyKeyword("and", IsUnion, Operation));
  EXPECT_FALSE(IsUnion);
  EXPECT_EQ(Operation, foZadeh);

  // A miss sets IsUnion to true and leaves Operation alone.
  for (const std::string_view Miss : {"AND", "Or", "and-mean-sqr", "mean", "or-", ""}) {
    IsUnion = false;
    Operation = foBoundedSum;
    EXPECT_FALSE(IsFuzzyKeyword(Miss, IsUnion, Operation)) << Miss;
    EXPECT_TRUE(IsUnion) << Miss;
    EXPECT_EQ(Operation, foBoundedSum) << Miss;
  }
}

TEST(FuzzyConsts, DerivedNamesQuoteNamesHoldingASpace) {
  EXPECT_EQ(CreateFuzzyName(fhVery, "a b"), "very [a b]");
  EXPECT_EQ(CreateFuzzyName(fhVery, "[a b]"), "very [[a b]]");
  EXPECT_EQ(CreateFuzzyName(fhVery, "[ab]"), "very [ab]");
  EXPECT_EQ(CreateFuzzyName(fhSomewhat, "a\tb"), "somewhat a\tb");
  EXPECT_EQ(CreateFuzzyName(fhNot, ""), "not ");
  EXPECT_EQ(CreateFuzzyName(bfhAdd, true, "warm"), "+ warm");
  EXPECT_EQ(CreateFuzzyName(bfhAdd, false, "warm"), "+X warm");
  EXPECT_EQ(CreateFuzzyName(bfgCutLessEq, false, "room temp"), "<=X [room temp]");
  EXPECT_EQ(CreateFuzzyName("warm", "very cold", "and-product"), "warm and-product [very cold]");
  EXPECT_EQ(CreateFuzzyName("a b", "c", "or mean"), "[a b] or mean c");
  EXPECT_EQ(CreateFuzzyName("warm", "and", 0.5), "warm and 0.5000");
  EXPECT_EQ(CreateFuzzyName("very warm", "or", -1.0 / 3.0), "[very warm] or -0.3333");
  // A value outside the enumeration raises instead of reading past the table.
  EXPECT_THROW(CreateFuzzyName(static_cast<TFuzzyHedge>(20), "x"), EListError);
  EXPECT_THROW(CreateFuzzyName(static_cast<TBaseFuzzyHedge>(255), true, "x"), EListError);
}

TEST(FuzzyConsts, ReservedWordsAreTheKeywordsHedgeOperatorsAndHedges) {
  std::vector<std::string> Words = {"",    " ",    "warm", "very warm", "and ",           " or",       "<X",
                                    "<=X", "<= X", "X",    "Very",      "cheap < 0.3333", "[a b] or c"};
  Words.insert(Words.end(), FuzzyIntersectionKeywords.begin(), FuzzyIntersectionKeywords.end());
  Words.insert(Words.end(), FuzzyUnionKeywords.begin(), FuzzyUnionKeywords.end());
  Words.insert(Words.end(), HedgeNames.begin(), HedgeNames.end());
  for (const std::string_view Word : BaseHedgeNames) {
    Words.emplace_back(Word);
    Words.emplace_back(std::string(Word) + "X");
    Words.emplace_back(std::string(Word) + " X");
  }
  for (const std::string& Word : Words) {
    bool IsUnion = false;
    TFuzzyOperation Operation = foZadeh;
    const bool Reserved =
        IsFuzzyKeyword(Word, IsUnion, Operation) || IsFuzzyHedgeOperator(Word) || IsFuzzyHedge(Word);
    EXPECT_EQ(IsReservedFuzzyWord(Word), Reserved) << '"' << Word << '"';
  }
  EXPECT_TRUE(IsReservedFuzzyWord("or-sum"));
  EXPECT_TRUE(IsReservedFuzzyWord(">=X"));
  EXPECT_TRUE(IsReservedFuzzyWord("generally"));
  EXPECT_FALSE(IsReservedFuzzyWord("very cold"));
}

TEST(FuzzyConsts, DerivedNameWritesTheNumberAsFormatDoes) {
  const double Values[] = {0.0,
                           -0.0,
                           0.5,
                           -0.00004,
                           0.00005,
                           1.0 / 3.0,
                           -2.5e-5,
                           123456789.123456,
                           1e300,
                           -1e-300,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  const std::pair<std::string_view, std::string_view> Names[] = {
      {"warm", "warm"}, {"very warm", "[very warm]"}, {"", ""}, {"[a b]", "[[a b]]"}};
  for (const auto& [Name, Quoted] : Names)
    for (const double Value : Values)
      EXPECT_EQ(CreateFuzzyName(Name, "<", Value), Format("%s %s %.4f", {Quoted, "<", Value}))
          << Name << ' ' << Value;
  // Names past any short-string buffer.
  const std::string Long(100, 'x');
  EXPECT_EQ(CreateFuzzyName(Long + " y", Long, "or"), Format("[%s y] or %s", {Long, Long}));
}

TEST(FuzzyConsts, FormatFuzzyExpression) {
  EXPECT_EQ(FormatFuzzyExpression("  warm  "), "warm");
  EXPECT_EQ(FormatFuzzyExpression("\t\nwarm\r"), "warm");
  EXPECT_EQ(FormatFuzzyExpression("a\tb"), "a\tb");
  EXPECT_EQ(FormatFuzzyExpression("very warm"), "[very warm]");
  EXPECT_EQ(FormatFuzzyExpression("[a b]"), "[a b]");
  EXPECT_EQ(FormatFuzzyExpression("  [a b] "), "[a b]");
  EXPECT_EQ(FormatFuzzyExpression("[a] or [b]"), "[[a] or [b]]");
  EXPECT_EQ(FormatFuzzyExpression("[a [b]"), "[a [b]");
  EXPECT_EQ(FormatFuzzyExpression("[[a] [b]]"), "[[a] [b]]");
  EXPECT_EQ(FormatFuzzyExpression("[ ]"), "[ ]");
  EXPECT_EQ(FormatFuzzyExpression(""), "");
  EXPECT_EQ(FormatFuzzyExpression("   "), "");
  // When enclosing, the brackets go around the text as passed, blanks included.
  EXPECT_EQ(FormatFuzzyExpression(" very warm "), "[ very warm ]");
  EXPECT_EQ(FormatFuzzyExpression(" [a] or [b]\t"), "[ [a] or [b]\t]");
}

TEST(FuzzyConsts, Exceptions) {
  const EFzyException Plain(SParserUnassigned);
  EXPECT_STREQ(Plain.what(), "Parser not assigned.  Cannot parse");
  const EFzyException Formatted(SUnknownFuzzySetName, {"warm"});
  EXPECT_STREQ(Formatted.what(), "Unknown Fuzzy Set name: \"warm\"");

  EFzyParseException Parse(SFuzzyLogicNotSet);
  EXPECT_EQ(Parse.LineNumber(), 0);
  Parse.SetLineNumber(12);
  EXPECT_EQ(Parse.LineNumber(), 12);
  EXPECT_EQ(EFzyParseException("bad text", 7).LineNumber(), 7);

  // A one-integer argument list formats the template; it is not taken for a line number.
  const EFzyParseException Indexed(SInvalidXRangeIndex, {3});
  EXPECT_STREQ(Indexed.what(), "Invalid index argument to GetXRange.  Index = 3");
  EXPECT_EQ(Indexed.LineNumber(), 0);

  try {
    throw EFzyParseException(SFzyParseError, {"Unexpected", "ReadRange", "5", "(range"}, 5);
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Parsing Error, Unexpected in ReadRange at line 5: \"(range\"");
    EXPECT_EQ(dynamic_cast<const EFzyParseException&>(E).LineNumber(), 5);
  }
  EXPECT_THROW(throw EFzyException("x"), EAQException);
}

}  // namespace
}  // namespace fuzzy
