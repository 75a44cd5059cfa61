#pragma once
// fuzzylingo in one include: the fuzzy set engine, the class model (logic component, variables,
// sets), the interface model (counted sets and variables), the definition language's parser, and
// rule bases with their compiled evaluator.
//
//   #include "fuzzy/fuzzy.h"
//
//   fuzzy::TOwned<fuzzy::TFuzzyLogic> Logic = fuzzy::MakeOwned<fuzzy::TFuzzyLogic>(nullptr);
//   fuzzy::TFuzzyVariable* Tip = Logic->Items().Add("tip");
//
// Link the CMake target fuzzylingo::fuzzylingo (find_package(fuzzylingo)).

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/imodel/ifuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/model/fuzzy_variable.h"
#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_system.h"
