#pragma once
// The shared vocabulary of the library: the floating type, the enumerations with their words in
// the definition language, the recognisers of those words, the names of derived sets, the message
// texts and the exception classes. Word lookups are exact and case-sensitive.
//
//   CreateFuzzyName(fhVery, "room temp") == "very [room temp]"
//   IsFuzzyHedge("very") == true;  IsFuzzyHedge("Very") == false

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/runtime/enum_names.h"
#include "fuzzy/runtime/enum_set.h"
#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/format.h"

namespace fuzzy {

using TFzyFloat = double;

// ---- Enumerations (the order indexes the name tables; the value names are stored by hosts) ----

enum TFuzzyHedge : std::uint8_t {
  fhNot,
  fhSomewhat,
  fhMoreOrLess,
  fhGreatly,
  fhPlus,
  fhVery,
  fhExtremely,
  fhAbove,
  fhBelow,
  fhSlightly,
  fhNormalize,
  fhAbout,
  fhVicinity,
  fhClose,
  fhNear,
  fhNeighboring,
  fhPositively,
  fhAbsolutely,
  fhDefinitely,
  fhGenerally
};

// Arithmetic hedge operators; the seventh value keeps its historical "bfg" prefix.
enum TBaseFuzzyHedge : std::uint8_t {
  bfhAdd,
  bfhSubtract,
  bfhMultiply,
  bfhDivide,
  bfhPower,
  bfhCutLess,
  bfgCutLessEq,
  bfhCutGreater,
  bfhCutGreaterEq
};

enum TFuzzyOperation : std::uint8_t {
  foZadeh,
  foMean,
  foMeanSqr,
  foMeanSqrt,
  foProduct,
  foBoundedSum,
  foSum
};

enum TFuzzyInferenceMethod : std::uint8_t { fimMinMax, fimAdditive, fimMean, fimProduct, fimBoundedSum };

enum TFuzzyCorrelationMethod : std::uint8_t { fcmMinimum, fcmProduct };

enum TDefuzzificationMethod : std::uint8_t { dmCenterOfGravity, dmMeanOfMaxima };

enum TFuzzySetType : std::uint8_t {
  fstUserDefined,
  fstTriangle,
  fstDeclineCurve,
  fstPICurve,
  fstBetaCurve,
  fstGrowthCurve
};

enum TXYUpdateType : std::uint8_t { utX, utY };

// The kind of a token's value. A token's data type may also be a delimiter's character code.
enum TFuzzyStreamTokenType : std::uint8_t {
  fstNone,
  fstAtom,
  fstString,
  fstInteger,
  fstFloat,
  fstVariable,
  fstInterface,
  fstList,
  fstIFuzzySet,
  fstObject,
  fstFuzzySet
};

using TFuzzyCorrelationMethods = TEnumSet<TFuzzyCorrelationMethod>;
using TFuzzyInferenceMethods = TEnumSet<TFuzzyInferenceMethod>;
using TXYUpdateTypes = TEnumSet<TXYUpdateType>;
using TFuzzyStreamTokenTypes = TEnumSet<TFuzzyStreamTokenType>;

// ---- Tables indexed by an enumeration ----

using TFuzzyHedgeNames = std::array<std::string_view, fhGenerally + 1u>;
using TBaseFuzzyHedgeNames = std::array<std::string_view, bfhCutGreaterEq + 1u>;
using TFuzzyHedgeModifiers = std::array<TFzyFloat, fhGenerally + 1u>;
using TFuzzyOperationKeywords = std::array<std::string_view, foSum + 1u>;
using TFuzzyInferenceMethodNames = std::array<std::string_view, fimBoundedSum + 1u>;
using TFuzzyCorrelationMethodNames = std::array<std::string_view, fcmProduct + 1u>;

inline constexpr TFzyFloat ONE_THIRD = 1.0 / 3.0;
inline constexpr TFzyFloat TWO_THIRDS = 2.0 / 3.0;

// Each table is built from its literal list so that a missing or extra entry fails the size check.
inline constexpr TFuzzyHedgeNames HedgeNames = std::to_array<std::string_view>(
    {"not",   "somewhat",    "moreorless", "greatly",    "plus",       "very",     "extremely",
     "above", "below",       "slightly",   "normalize",  "about",      "vicinity", "close",
     "near",  "neighboring", "positively", "absolutely", "definitely", "generally"});

inline constexpr TFuzzyHedgeModifiers HedgeModifiers =
    std::to_array<TFzyFloat>({0.0, ONE_THIRD, 0.5, 0.7, 1.25, 2.0, 3.0, 0.0, 0.0, 0.0,
                              0.0, 2.0,       4.0, 1.2, 1.2,  1.2, 2.0, 2.0, 2.0, 0.5});

// Each operator also has an X form, its name followed by "X", that works on the X axis.
inline constexpr TBaseFuzzyHedgeNames BaseHedgeNames =
    std::to_array<std::string_view>({"+", "-", "*", "/", "^", "<", "<=", ">", ">="});

inline constexpr TFuzzyOperationKeywords FuzzyOperationNames = std::to_array<std::string_view>(
    {"zadeh", "mean", "mean-sqr", "mean-sqrt", "product", "bounded-sum", "sum"});

inline constexpr TFuzzyOperationKeywords FuzzyIntersectionKeywords = std::to_array<std::string_view>(
    {"and", "and-mean", "and-meansqr", "and-meansqrt", "and-product", "and-boundedsum", "and-sum"});

inline constexpr TFuzzyOperationKeywords FuzzyUnionKeywords = std::to_array<std::string_view>(
    {"or", "or-mean", "or-meansqr", "or-meansqrt", "or-product", "or-boundedsum", "or-sum"});

inline constexpr TFuzzyInferenceMethodNames FuzzyInferenceNames =
    std::to_array<std::string_view>({"min-max", "sum", "mean", "product", "bounded-sum"});

inline constexpr TFuzzyCorrelationMethodNames FuzzyCorrelationNames =
    std::to_array<std::string_view>({"minimum", "product"});

// Choice lists for hosts.
inline constexpr std::string_view FuzzyCorrelationNameList = "fcmMinimum, fcmProduct";
inline constexpr std::string_view FuzzyCorrelationSuffixNameList = "Minimum, Product";
inline constexpr std::string_view FuzzyInferenceNameList =
    "fimMinMax, fimAdditive, fimMean, fimProduct, fimBoundedSum";
inline constexpr std::string_view FuzzyInferenceSuffixNameList =
    "MinMax, Additive, Mean, Product, BoundedSum";

// Format of every number written into a name or a text.
inline constexpr std::string_view FuzzyFormatStr = "%.4f";
// Enclose a quoted name or expression.
inline constexpr std::string_view LeftFuzzyParentheses = "[";
inline constexpr std::string_view RightFuzzyParentheses = "]";
// Reserved set name: a set under this name (or the empty name) is not defined and never printed.
inline constexpr std::string_view SEmptyFuzzy = "__Empty";

// ---- Enumeration value names ----

template <>
struct TEnumNames<TFuzzyHedge> {
  static constexpr auto Names = std::to_array<std::string_view>(
      {"fhNot",         "fhSomewhat",   "fhMoreOrLess", "fhGreatly",    "fhPlus",
       "fhVery",        "fhExtremely",  "fhAbove",      "fhBelow",      "fhSlightly",
       "fhNormalize",   "fhAbout",      "fhVicinity",   "fhClose",      "fhNear",
       "fhNeighboring", "fhPositively", "fhAbsolutely", "fhDefinitely", "fhGenerally"});
};
static_assert(TEnumNames<TFuzzyHedge>::Names.size() == fhGenerally + 1u);

template <>
struct TEnumNames<TBaseFuzzyHedge> {
  static constexpr auto Names =
      std::to_array<std::string_view>({"bfhAdd", "bfhSubtract", "bfhMultiply", "bfhDivide", "bfhPower",
                                       "bfhCutLess", "bfgCutLessEq", "bfhCutGreater", "bfhCutGreaterEq"});
};
static_assert(TEnumNames<TBaseFuzzyHedge>::Names.size() == bfhCutGreaterEq + 1u);

template <>
struct TEnumNames<TFuzzyOperation> {
  static constexpr auto Names = std::to_array<std::string_view>(
      {"foZadeh", "foMean", "foMeanSqr", "foMeanSqrt", "foProduct", "foBoundedSum", "foSum"});
};
static_assert(TEnumNames<TFuzzyOperation>::Names.size() == foSum + 1u);

template <>
struct TEnumNames<TFuzzyInferenceMethod> {
  static constexpr auto Names =
      std::to_array<std::string_view>({"fimMinMax", "fimAdditive", "fimMean", "fimProduct", "fimBoundedSum"});
};
static_assert(TEnumNames<TFuzzyInferenceMethod>::Names.size() == fimBoundedSum + 1u);

template <>
struct TEnumNames<TFuzzyCorrelationMethod> {
  static constexpr auto Names = std::to_array<std::string_view>({"fcmMinimum", "fcmProduct"});
};
static_assert(TEnumNames<TFuzzyCorrelationMethod>::Names.size() == fcmProduct + 1u);

template <>
struct TEnumNames<TDefuzzificationMethod> {
  static constexpr auto Names = std::to_array<std::string_view>({"dmCenterOfGravity", "dmMeanOfMaxima"});
};
static_assert(TEnumNames<TDefuzzificationMethod>::Names.size() == dmMeanOfMaxima + 1u);

template <>
struct TEnumNames<TFuzzySetType> {
  static constexpr auto Names = std::to_array<std::string_view>(
      {"fstUserDefined", "fstTriangle", "fstDeclineCurve", "fstPICurve", "fstBetaCurve", "fstGrowthCurve"});
};
static_assert(TEnumNames<TFuzzySetType>::Names.size() == fstGrowthCurve + 1u);

template <>
struct TEnumNames<TXYUpdateType> {
  static constexpr auto Names = std::to_array<std::string_view>({"utX", "utY"});
};
static_assert(TEnumNames<TXYUpdateType>::Names.size() == utY + 1u);

template <>
struct TEnumNames<TFuzzyStreamTokenType> {
  static constexpr auto Names = std::to_array<std::string_view>(
      {"fstNone", "fstAtom", "fstString", "fstInteger", "fstFloat", "fstVariable", "fstInterface", "fstList",
       "fstIFuzzySet", "fstObject", "fstFuzzySet"});
};
static_assert(TEnumNames<TFuzzyStreamTokenType>::Names.size() == fstFuzzySet + 1u);

// ---- Recognisers: exact, case-sensitive, first match in enumeration order; never raise ----

bool IsFuzzyHedge(std::string_view S);
// On a miss Hedge is left unchanged (likewise for the other out-parameters below).
bool IsFuzzyHedge(std::string_view S, TFuzzyHedge& Hedge);
bool IsFuzzyOperation(std::string_view S, TFuzzyOperation& Operation);
bool IsFuzzyInference(std::string_view S, TFuzzyInferenceMethod& Method);
bool IsFuzzyCorrelation(std::string_view S, TFuzzyCorrelationMethod& Method);
// S is an operator name or an operator name followed by "X".
bool IsFuzzyHedgeOperator(std::string_view S);
// ModifyY is true for the plain form and false for the X form.
bool IsFuzzyHedgeOperator(std::string_view S, TBaseFuzzyHedge& Hedge, bool& ModifyY);
// An intersection or union keyword. IsUnion is set true on entry and becomes false only for an
// intersection keyword, so it reads true after a miss.
bool IsFuzzyKeyword(std::string_view S, bool& IsUnion, TFuzzyOperation& Operation);
// S is a keyword, a hedge operator (either form) or a hedge: a word no set may be named.
bool IsReservedFuzzyWord(std::string_view S);

// ---- Names of derived sets. A name holding a space (U+0020 only) is enclosed in "[" "]". ----
// A hedge value outside its enumeration raises EListError.

// 'very [room temp]'
std::string CreateFuzzyName(TFuzzyHedge Hedge, std::string_view Name);
// '+ warm' when ModifyY, '+X warm' otherwise.
std::string CreateFuzzyName(TBaseFuzzyHedge Hedge, bool ModifyY, std::string_view Name);
// 'warm and-product [very cold]'; Operation is never enclosed.
std::string CreateFuzzyName(std::string_view Left, std::string_view Right, std::string_view Operation);
// 'warm and 0.5000'; Operation is never enclosed.
std::string CreateFuzzyName(std::string_view Name, std::string_view Operation, TFzyFloat Value);
// 'warm + 0.5000' when ModifyY, 'warm +X 0.5000' otherwise.
std::string CreateFuzzyName(std::string_view Name, TBaseFuzzyHedge Hedge, bool ModifyY, TFzyFloat Value);

// S made safe to stand as one operand of a larger expression: trimmed when it holds no space or
// is already enclosed in brackets as a whole, otherwise S (untrimmed) enclosed in "[" "]".
std::string FormatFuzzyExpression(std::string_view S);
// The operand a set stands as in a combined expression: its expression, or its name when it has
// no expression.
inline std::string_view ExpressionOperand(std::string_view Expression, std::string_view Name) {
  return Expression.empty() ? Name : Expression;
}
// The expression of a combination, 'left operation right', each operand (see ExpressionOperand) as
// FormatFuzzyExpression gives it.
std::string CombineFuzzyExpressions(std::string_view Left, std::string_view Operation, std::string_view Right);

// ---- Messages ----

inline constexpr std::string_view SFuzzySetEmpty = "Invalid operation: \"%s\".  Fuzzy set is empty";
inline constexpr std::string_view SInvalidFuzzySetName = "Invalid fuzzy set name, \"%s\" is a reserved word";
inline constexpr std::string_view SInvalidFuzzyVarName = "Invalid fuzzy variable name, \"%s\"";
inline constexpr std::string_view SMissingFuzzyVariable = "Missing fuzzy linguistic variable";
inline constexpr std::string_view SMax3XValues =
    "Invalid x value.  Maximum of 3 values with same X value: %.4f";
inline constexpr std::string_view SInvalidFuzzyOperation = "Invalid fuzzy operation: \"%s:";
inline constexpr std::string_view SInvalidXRangeIndex = "Invalid index argument to GetXRange.  Index = %d";
inline constexpr std::string_view SInvalidRangeArguments =
    "Invalid range arguments.  Left (%.4f) is greater than right (%.4f)";
inline constexpr std::string_view SParserUnassigned = "Parser not assigned.  Cannot parse";
inline constexpr std::string_view SFzyParseError = "Parsing Error, %s in %s at line %s: \"%s\"";
inline constexpr std::string_view SFzyArgNumWrong =
    "Number of arguments for function, %s, incorrect.  Expected \"%s\"";
inline constexpr std::string_view SFzyArgMinNumWrong =
    "Minimum number of arguments for function, %s, incorrect.  Expected %d or more";
inline constexpr std::string_view SFzyArgTypeWrong =
    "Data Types of arguments for function, %s, incorrect.  Expected %s";
inline constexpr std::string_view SPIArgsExpected = "\"Left Right Center\" or \"Range Center\"";
inline constexpr std::string_view STriArgsExpected = "\"Left Middle Right\"";
inline constexpr std::string_view SCurveArgsExpected = "\"Left Right Inflection_Point\"";
inline constexpr std::string_view SBetaArgsExpected =
    "\"Range Center Inflection_Point\" or \"Range Center Inflection_Point Weight\"";
inline constexpr std::string_view SFuzzyLogicNotSet = "Fuzzy Logic component must be specified to parse";
inline constexpr std::string_view SFuzzyLogicNotTFuzzyLogic =
    "FuzzyLogic property must be of type TFuzzyLogic or descendant";
inline constexpr std::string_view SFuzzyLogicNotTIFuzzyLogic =
    "FuzzyLogic property must be of type TIFuzzyLogic or descendant";
inline constexpr std::string_view SUnknownFuzzySetName = "Unknown Fuzzy Set name: \"%s\"";
inline constexpr std::string_view SUnknownFuzzyVarName = "Unknown Fuzzy Variable name: \"%s\"";
inline constexpr std::string_view SUnknownFunctionName = "Unknown function name: \"%s\"";
inline constexpr std::string_view SLowFuzzyTerm = "low";
inline constexpr std::string_view SMediumFuzzyTerm = "medium";
inline constexpr std::string_view SHighFuzzyTerm = "high";

// ---- Exceptions ----

// Failures of the engine and the components.
class EFzyException : public EAQException {
 public:
  explicit EFzyException(std::string_view Message) : EAQException(std::string(Message)) {}
  EFzyException(std::string_view Template, std::initializer_list<TFormatArg> Args)
      : EAQException(Template, Args) {}
};

// Failures of the definition language, with the line of the text at which parsing failed
// (0 when the failure has no position).
class EFzyParseException : public EFzyException {
 public:
  explicit EFzyParseException(std::string_view Message) : EFzyException(Message) {}
  // The line number's type is deduced so that a braced argument list such as {3} can never be
  // taken for a line number; it always selects the formatting constructor below.
  template <std::integral TLine>
  EFzyParseException(std::string_view Message, TLine LineNumber)
      : EFzyException(Message), FLineNumber(static_cast<int>(LineNumber)) {}
  EFzyParseException(std::string_view Template, std::initializer_list<TFormatArg> Args, int LineNumber = 0)
      : EFzyException(Template, Args), FLineNumber(LineNumber) {}

  int LineNumber() const noexcept { return FLineNumber; }
  void SetLineNumber(int Value) noexcept { FLineNumber = Value; }

 private:
  int FLineNumber = 0;
};

}  // namespace fuzzy
