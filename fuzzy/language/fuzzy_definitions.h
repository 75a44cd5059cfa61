#pragma once
// What the definition parser reads from a text before it builds anything: a variable definition
// with its clauses and terms, in the order the text gives them. Reading a whole definition first
// lets its range govern every one of its terms, wherever the range clause stands.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

// A place in the text being read, where an error found only when a term is built is reported:
// the line, and how many tokens the echo held then.
struct TReadPosition {
  int Line = 0;
  int EchoCount = 0;
};

// One "(term NAME [COMMENT] body)".
struct TTermDefinition {
  enum class TBody { ValuePairs, Function, Expression };

  std::string Name;
  std::string Comment;
  TBody Body = TBody::ValuePairs;
  // ValuePairs: the points in text order.
  std::vector<std::pair<TFzyFloat, TFzyFloat>> Points;
  // Function: its name; Items holds its arguments. Expression: Items holds its items.
  std::string Function;
  IPtr<IFuzzyStreamTokenList> Items;
  // Where the function or the expression was read.
  TReadPosition Position;
};

// One "(deffuzzy NAME [COMMENT] clause*)": its clauses as far as they were read whole.
struct TVariableDefinition {
  struct TRange {
    TFzyFloat Minimum, Maximum;
  };

  std::string Name;
  std::string Comment;
  // Every range clause, in text order.
  std::vector<TRange> Ranges;
  // The last units clause's text, if any.
  std::optional<std::string> Units;
  std::vector<TTermDefinition> Terms;
};

}  // namespace fuzzy
