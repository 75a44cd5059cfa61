#pragma once
// Reading a fuzzy system from text: the variable definitions of the definition language and
// blocks of rules, all written as parenthesised lists so that one token stream reads them:
//
//   (deffuzzy service (range 0 10) (values (term poor (tri 0 0 5)) (term good (tri 0 5 10))))
//   (deffuzzy tip (range 0 30) (values (term cheap (tri 0 5 10)) (term average (tri 10 15 20))))
//   (defrules tipping
//     (rule "if service is poor then tip is cheap")
//     (rule "if service is good then tip is average with 0.8"))
//
//   TOwned<TFuzzySystem> System = ReadFuzzySystem(Text);
//   const TFzyFloat Tip = System->Run({{"service", 3}}).Output("tip");
//
// The lists are read in the order of the text: each "(deffuzzy" list by the definition parser
// (TAQFuzzyLogicParser), which adds the variable to the system's logic component exactly as a
// definition text would, and each "(defrules NAME (rule "TEXT") ...)" list into a new rule block
// NAME, one rule per string, read by the rule reader (fuzzy_rule_reader.h). So a rule can name
// the variables defined above its block. Comments and line breaks may stand anywhere between
// lists, and a rule's text may span lines.
//
// Errors raise EFzyParseException: the definition parser's for a definition, the rule reader's
// for a rule (both name the line in this text), and for the lists themselves
//   Parsing Error, MESSAGE in ReadFuzzySystem (or ReadRuleBlock) at line L: "LIST READ SO FAR"
// with the definition parser's messages: "Unexpected token: "x"" for a word outside any list,
// "Missing keyword.  Expected "deffuzzy or defrules"", "Missing name", "Expected "("", "Missing
// keyword.  Expected "rule"", "Expected ")"", and "Expected the rule's text in double quotes". What
// was read before the error stays in the system.
//
// The logic component's Strings holds the definitions only, as ever: assigning it rebuilds the
// variables, and the rules then report the variables they lost (TFuzzyRule::LostReference).

#include <string>

#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/runtime/encoding.h"

namespace fuzzy {

// A new system read from Text (decoded in Encoding; null: by byte order mark, else UTF-8). Its
// logic component reads the text without automatic terms (AutoTerms is off) and owns a definition
// parser, linked both ways, that keeps its Strings in step.
TOwned<TFuzzySystem> ReadFuzzySystem(const std::string& Text, TEncoding* Encoding = nullptr);

// Text read into System, adding to what it holds, through the parser of System's logic component
// when it is a TAQFuzzyLogicParser linked to that component, else through one made for the call.
void ReadFuzzySystem(TFuzzySystem& System, const std::string& Text, TEncoding* Encoding = nullptr);

}  // namespace fuzzy
