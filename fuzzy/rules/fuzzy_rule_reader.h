#pragma once
// Reading a rule from its text into a rule block:
//
//   if CONDITION then CONCLUSION [and CONCLUSION ...] [with WEIGHT]
//
//   CONDITION   CLAUSE | CONDITION CONNECTIVE CONDITION | [ CONDITION ] | ( CONDITION )
//   CLAUSE      VARIABLE is SET, SET an expression over the variable's terms
//   CONCLUSION  VARIABLE is TERM
//   WEIGHT      a number from 0 to 1 that scales the rule's strength (1 when there is none)
//
//   ReadFuzzyRule(Block, "if service is poor or food is [rancid or somewhat stale] then tip is cheap");
//   ReadFuzzyRule(Block, "if service is not poor and-product food is good then tip is generous with 0.5");
//
// Words. The keywords (if, is, then, with, and between conclusions, the connectives between
// conditions) are atoms, matched exactly and case-sensitively: "If" and "AND" are no keywords. A
// variable or term is named by an atom or a string ("room temp"); a string is always a name, so a
// variable named "then" is written as a string. A variable's name is looked up first: a name that
// is also a word of the language names the variable when it has one of that name. A term is a set
// that the variable's definition made (a defined set): the sets that other computations left in
// the variable are no terms of rules.
//
// A clause's set is written in the expression language of the definitions, over the clause's
// variable: terms, hedges and "not" before an operand, hedge operators, connectives, [ ] groups,
// numbers, ?NAME references and function calls ("service is very poor", "food is not rancid",
// "service is poor ^ 2", "food is [rancid or-sum somewhat stale]"). A plain term name (alone in
// brackets too) makes the clause use the term itself; any other set is computed once, when the
// rule is read, and belongs to the clause: the variable keeps no set of the computation.
//
// Where a clause's set ends: before "then", before a bracket that closes the group the clause
// stands in, and before the first connective outside the set's own [ ] groups. So a connective
// right after a clause always joins two conditions: "food is rancid or service is poor" is two
// clauses, and a connective of the set itself goes in brackets, "food is [rancid or stale]".
// Without them, "food is rancid or stale" reads "stale" as the next clause's variable, and the
// error says that "stale" is a term of "food". Inside a function call's parentheses every word is
// the call's.
//
// The connectives of conditions are those of the expressions (and, or, and-product, or-sum, ...)
// and combine the clauses' degrees by their flavour (TFuzzyAntecedent). As in expressions they
// share one level and group from the left: "a or b and c" is "[a or b] and c". "and-sum" is refused
// in conditions and in sets alike: no intersection is a sum.
//
// Errors raise EFzyParseException through the parser's ParseError:
//   Parsing Error, MESSAGE in rule N of block "NAME" at line L: "TEXT"
// MESSAGE names the offending word (a misspelt name comes with the closest known one: "Unknown term
// "rancd" of "food" (did you mean "rancid"?)"), N is the rule's number in the block from 1, L the
// line of the word and TEXT the rule's whole text. The block is left as it was.

#include <string>

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/rules/fuzzy_rule_block.h"

namespace fuzzy {

// Text read as a new last rule of Block; the rule keeps Text as its text. Parser evaluates the
// clauses' sets (its logic component's Variables serve ?NAME references). FirstLine: the number of
// the line on which Text begins, where the text stands in a longer one.
TFuzzyRule& ReadFuzzyRule(TFuzzyRuleBlock& Block, const std::string& Text, TAQFuzzyLogicParser& Parser,
                          int FirstLine = 1);
// The same with the parser of the block's logic component when it is a TAQFuzzyLogicParser linked
// to that component, else with one made for the call.
TFuzzyRule& ReadFuzzyRule(TFuzzyRuleBlock& Block, const std::string& Text);

}  // namespace fuzzy
