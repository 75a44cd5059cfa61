#include "fuzzy/vocabulary/fuzzy_consts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace fuzzy {
namespace {

// The index of the first entry of Table equal to S, as an E; Value is left alone on a miss.
template <typename E, std::size_t N>
bool FindName(const std::array<std::string_view, N>& Table, std::string_view S, E& Value) {
  for (std::size_t I = 0; I < N; ++I)
    if (Table[I] == S) {
      Value = static_cast<E>(I);
      return true;
    }
  return false;
}

// The table entry of an enumeration value; a value outside the table (a cast integer) raises
// rather than reading past its end.
template <typename E, std::size_t N>
std::string_view EntryOf(const std::array<std::string_view, N>& Table, E Value) {
  const auto Ordinal = static_cast<std::size_t>(Value);
  if (Ordinal >= N) throw EListError(SListIndexError, {Ordinal});
  return Table[Ordinal];
}

std::string Enclosed(std::string_view S) { return Concat({LeftFuzzyParentheses, S, RightFuzzyParentheses}); }

// A name as an operand of a derived name: enclosed in brackets when it holds a space, so that it
// reads as one operand. Used as three parts of a Concat.
struct TQuotedName {
  explicit TQuotedName(std::string_view Name) : Text(Name) {
    if (Name.find(' ') == std::string_view::npos) return;
    Open = LeftFuzzyParentheses;
    Close = RightFuzzyParentheses;
  }
  std::string_view Open, Text, Close;
};

// T (trimmed, longer than two characters, starting with "[" and ending with "]") is enclosed as a
// whole unless its leading bracket closes before the last character. An unbalanced text counts
// as enclosed.
bool IsWhollyEnclosed(std::string_view T) {
  int Depth = 1;
  for (std::size_t I = 1; I < T.size(); ++I) {
    if (T[I] == '[')
      ++Depth;
    else if (T[I] == ']')
      --Depth;
    if (Depth == 0 && I + 1 < T.size()) return false;
  }
  return true;
}

}  // namespace

bool IsFuzzyHedge(std::string_view S) {
  TFuzzyHedge Hedge;
  return IsFuzzyHedge(S, Hedge);
}

bool IsFuzzyHedge(std::string_view S, TFuzzyHedge& Hedge) { return FindName(HedgeNames, S, Hedge); }

bool IsFuzzyOperation(std::string_view S, TFuzzyOperation& Operation) {
  return FindName(FuzzyOperationNames, S, Operation);
}

bool IsFuzzyInference(std::string_view S, TFuzzyInferenceMethod& Method) {
  return FindName(FuzzyInferenceNames, S, Method);
}

bool IsFuzzyCorrelation(std::string_view S, TFuzzyCorrelationMethod& Method) {
  return FindName(FuzzyCorrelationNames, S, Method);
}

bool IsFuzzyHedgeOperator(std::string_view S) {
  TBaseFuzzyHedge Hedge;
  bool ModifyY;
  return IsFuzzyHedgeOperator(S, Hedge, ModifyY);
}

bool IsFuzzyHedgeOperator(std::string_view S, TBaseFuzzyHedge& Hedge, bool& ModifyY) {
  for (std::size_t I = 0; I < BaseHedgeNames.size(); ++I) {
    const std::string_view Name = BaseHedgeNames[I];
    const bool Plain = S == Name;
    const bool XForm = S.size() == Name.size() + 1 && S.starts_with(Name) && S.back() == 'X';
    if (Plain || XForm) {
      Hedge = static_cast<TBaseFuzzyHedge>(I);
      ModifyY = Plain;
      return true;
    }
  }
  return false;
}

bool IsFuzzyKeyword(std::string_view S, bool& IsUnion, TFuzzyOperation& Operation) {
  IsUnion = true;
  for (std::size_t I = 0; I < FuzzyIntersectionKeywords.size(); ++I) {
    if (S == FuzzyIntersectionKeywords[I]) {
      IsUnion = false;
      Operation = static_cast<TFuzzyOperation>(I);
      return true;
    }
    if (S == FuzzyUnionKeywords[I]) {
      Operation = static_cast<TFuzzyOperation>(I);
      return true;
    }
  }
  return false;
}

namespace {

// Whether every word of the reserved tables has the property Holds.
template <typename THolds>
constexpr bool EveryReservedWord(THolds Holds) {
  for (const auto* Table : {&FuzzyIntersectionKeywords, &FuzzyUnionKeywords})
    for (const std::string_view Word : *Table)
      if (!Holds(Word)) return false;
  for (const std::string_view Word : BaseHedgeNames)
    if (!Holds(Word)) return false;
  for (const std::string_view Word : HedgeNames)
    if (!Holds(Word)) return false;
  return true;
}

static_assert(EveryReservedWord([](std::string_view Word) { return Word.find(' ') == std::string_view::npos; }));
// The lengths fit a 32-bit mask, also with "X" after a base hedge.
static_assert(EveryReservedWord([](std::string_view Word) { return Word.size() < 31; }));

}  // namespace

namespace {

// The words of IsFuzzyKeyword, IsFuzzyHedgeOperator (both spellings) and IsFuzzyHedge, in one
// table: a set is renamed often, and each name is checked against all of them.
class TReservedWords {
 public:
  TReservedWords() {
    // Reserved whole: the views into these strings must not move.
    FOnX.reserve(BaseHedgeNames.size());
    for (const std::string_view Name : BaseHedgeNames) {
      FWords.insert(Name);
      FOnX.push_back(std::string(Name) + "X");
      FWords.insert(FOnX.back());
    }
    for (const std::string_view Word : FuzzyIntersectionKeywords) FWords.insert(Word);
    for (const std::string_view Word : FuzzyUnionKeywords) FWords.insert(Word);
    for (const std::string_view Word : HedgeNames) FWords.insert(Word);
    for (const std::string_view Word : FWords) FLengths[First(Word)] |= 1u << Word.size();
  }
  // Most names share no first character and length with any word, which settles them unhashed.
  bool Contains(std::string_view S) const {
    return !S.empty() && S.size() < 32 && (FLengths[First(S)] >> S.size() & 1u) && FWords.contains(S);
  }

 private:
  static unsigned char First(std::string_view S) { return static_cast<unsigned char>(S[0]); }

  std::vector<std::string> FOnX;
  std::unordered_set<std::string_view> FWords;
  // Per first character, bit L is set when a word of that length starts with it (all are shorter
  // than 32).
  std::array<std::uint32_t, 256> FLengths{};
};

}  // namespace

bool IsReservedFuzzyWord(std::string_view S) {
  // No reserved word holds a space, so a derived name (which always does) skips the table.
  if (S.find(' ') != std::string_view::npos) return false;
  static const TReservedWords Words;
  return Words.Contains(S);
}

std::string CreateFuzzyName(TFuzzyHedge Hedge, std::string_view Name) {
  const TQuotedName Q(Name);
  return Concat({EntryOf(HedgeNames, Hedge), " ", Q.Open, Q.Text, Q.Close});
}

std::string CreateFuzzyName(TBaseFuzzyHedge Hedge, bool ModifyY, std::string_view Name) {
  const TQuotedName Q(Name);
  return Concat({EntryOf(BaseHedgeNames, Hedge), ModifyY ? " " : "X ", Q.Open, Q.Text, Q.Close});
}

std::string CreateFuzzyName(std::string_view Left, std::string_view Right, std::string_view Operation) {
  const TQuotedName L(Left), R(Right);
  return Concat({L.Open, L.Text, L.Close, " ", Operation, " ", R.Open, R.Text, R.Close});
}

std::string CreateFuzzyName(std::string_view Name, std::string_view Operation, TFzyFloat Value) {
  // The number as "%.4f" writes it.
  TNumberText Buffer;
  const TQuotedName Q(Name);
  return Concat({Q.Open, Q.Text, Q.Close, " ", Operation, " ", FloatToStrF(Buffer, Value, 4)});
}

std::string CreateFuzzyName(std::string_view Name, TBaseFuzzyHedge Hedge, bool ModifyY, TFzyFloat Value) {
  TNumberText Buffer;
  const TQuotedName Q(Name);
  return Concat({Q.Open, Q.Text, Q.Close, " ", EntryOf(BaseHedgeNames, Hedge), ModifyY ? " " : "X ",
                 FloatToStrF(Buffer, Value, 4)});
}

std::string CombineFuzzyExpressions(std::string_view Left, std::string_view Operation, std::string_view Right) {
  return Concat({FormatFuzzyExpression(Left), " ", Operation, " ", FormatFuzzyExpression(Right)});
}

std::string FormatFuzzyExpression(std::string_view S) {
  const std::string_view T = TrimView(S);
  if (T.find(' ') == std::string_view::npos) return std::string(T);
  if (T.size() > 2 && T.front() == '[' && T.back() == ']' && IsWhollyEnclosed(T)) return std::string(T);
  return Enclosed(S);
}

}  // namespace fuzzy
