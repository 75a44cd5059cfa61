#include "fuzzy/model/custom_fuzzy_logic_parser.h"

#include "fuzzy/model/custom_fuzzy_logic.h"

namespace fuzzy {

void TCustomFuzzyLogicParser::SetFuzzyLogic(TCustomFuzzyLogic* Value) {
  if (Value == FFuzzyLogic) return;
  if (FFuzzyLogic) FFuzzyLogic->RemoveFreeNotification(this);
  FFuzzyLogic = Value;
  if (FFuzzyLogic) FFuzzyLogic->FreeNotification(this);
}

void TCustomFuzzyLogicParser::Parse(const std::string& AString, TEncoding* Encoding) {
  if (!FFuzzyLogic) throw EFzyParseException(SFuzzyLogicNotSet);
  if (FOnParsing) FOnParsing(this);
  ParseFuzzyLogic(AString, Encoding);
  if (FOnParsed) FOnParsed(this);
}

void TCustomFuzzyLogicParser::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFuzzyLogic) SetFuzzyLogic(nullptr);
}

}  // namespace fuzzy
