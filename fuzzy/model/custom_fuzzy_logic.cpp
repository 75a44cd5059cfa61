#include "fuzzy/model/custom_fuzzy_logic.h"

#include <algorithm>

#include "fuzzy/model/custom_fuzzy_logic_parser.h"
#include "fuzzy/model/internal/number_check.h"

namespace fuzzy {

TCustomFuzzyLogic::TCustomFuzzyLogic(TComponent* AOwner)
    : TComponent(AOwner), FStrings(MakeOwned<TStringList>()), FVariables(MakeOwned<TStringList>(false)) {}

void TCustomFuzzyLogic::BeforeDestruction() {
  SetParser(nullptr);
  TComponent::BeforeDestruction();
}

void TCustomFuzzyLogic::SetNumFunctionValues(int Value) { FNumFunctionValues = std::max(Value, 2); }

void TCustomFuzzyLogic::SetThreshold(TFzyFloat Value) {
  CheckNumber(Value, "Threshold");
  if (Value == FThreshold) return;
  // An out-of-range value is passed on even when its clamped value is stored already.
  FThreshold = std::clamp(Value, 0.0, 1.0);
  ThresholdChanged();
}

void TCustomFuzzyLogic::SetParser(TCustomFuzzyLogicParser* Value) {
  if (Value == FParser) return;
  if (FParser) FParser->RemoveFreeNotification(this);
  FParser = Value;
  if (FParser) FParser->FreeNotification(this);
}

void TCustomFuzzyLogic::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FParser) SetParser(nullptr);
}

TStrings* TCustomFuzzyLogic::GetStrings() {
  if (FNeedsUpdate) UpdateStrings();
  return FStrings.get();
}

void TCustomFuzzyLogic::SetStrings(const TStrings* Value) {
  FStrings->Assign(Value);
  Parse();
}

void TCustomFuzzyLogic::SetVariables(const TStrings* Value) { FVariables->Assign(Value); }

void TCustomFuzzyLogic::UpdateStrings() {
  FNeedsUpdate = false;
  if (IsLoading()) return;
  if (!FParser) throw EFzyException(SParserUnassigned);
  // The whole text is made before any of it replaces the old: a variable that cannot be written
  // leaves Strings as it was, and still out of date.
  TOwned<TStringList> Text = MakeOwned<TStringList>();
  try {
    WriteVariables(*Text);
  } catch (...) {
    FNeedsUpdate = true;
    throw;
  }
  FStrings->Assign(Text.get());
}

void TCustomFuzzyLogic::Parse() {
  if (IsLoading()) return;
  if (!FParser) throw EFzyException(SParserUnassigned);
  ClearVariables();
  // The model is empty now; the text, not the empty model, is what the parser must read.
  FNeedsUpdate = false;
  const std::string Text = FStrings->Text();
  try {
    FParser->Parse(Text, nullptr);
  } catch (...) {
    // The text stays as the host gave it: regenerating it from what was read before the error
    // would replace the host's text by a partial one.
    FNeedsUpdate = false;
    throw;
  }
  FNeedsUpdate = false;
}

bool TCustomFuzzyLogic::PrettyPrintSet(const TFuzzySet& Set, std::string& Text) const {
  if (!FParser) return false;
  Text = FParser->PrettyPrint(&Set, false);
  return true;
}

}  // namespace fuzzy
