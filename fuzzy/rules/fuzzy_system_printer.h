#pragma once
// A fuzzy system written as the text that ReadFuzzySystem reads back: every variable of its logic
// component as the definition parser prints it, then every rule block as a "(defrules" list with
// one "(rule "TEXT")" per rule, TEXT being the rule's text (the text it was read from, or for a
// rule built in code the rule written out, TFuzzyRule::ToString).
//
//   const std::string Text = PrintFuzzySystem(*System);
//   TOwned<TFuzzySystem> Again = ReadFuzzySystem(Text);   // the same variables, terms and rules
//
// The numbers are written with four decimals, as the printer writes them. The logic component's
// settings (methods, threshold) and the outputs' default values are not part of the text.

#include <string>

#include "fuzzy/rules/fuzzy_system.h"

namespace fuzzy {

// Printed through the parser of System's logic component when it is a TAQFuzzyLogicParser linked
// to that component, else through one made for the call. Raises EFzyException, writing nothing,
// for a rule that lost a variable or term (TFuzzySystem::CheckIntact) and for a name that no atom
// can hold (SFzyNameNotWritable).
std::string PrintFuzzySystem(const TFuzzySystem& System);

}  // namespace fuzzy
