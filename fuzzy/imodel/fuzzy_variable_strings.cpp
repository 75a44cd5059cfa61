#include "fuzzy/imodel/fuzzy_variable_strings.h"

#include "fuzzy/imodel/ifuzzy_logic.h"

namespace fuzzy {

TFuzzyVariableStrings::TFuzzyVariableStrings(TIFuzzyLogic* FuzzyLogic) : FFuzzyLogic(FuzzyLogic) {
  if (FFuzzyLogic) FFuzzyLogic->BindStrings(this);
}

void TFuzzyVariableStrings::BeforeDestruction() {
  if (FFuzzyLogic) FFuzzyLogic->UnbindStrings(this);
  TIStringList::BeforeDestruction();
}

void TFuzzyVariableStrings::PutData(int Index, const IPtr<IInterface>& Value) {
  if (FFuzzyLogic)
    if (const IPtr<IFuzzyVariable> Leaving = GetData(Index)) FFuzzyLogic->VariableDeleted(Leaving);
  TIStringList::PutData(Index, Value);
  if (FFuzzyLogic)
    if (const IPtr<IFuzzyVariable> Entering = GetData(Index)) FFuzzyLogic->VariableAdded(Entering);
}

}  // namespace fuzzy
