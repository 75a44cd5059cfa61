#pragma once
// The parser component base: what a logic component needs from a parser (reading a whole
// definition text, printing sets and variables back as text) and the link to the logic component
// that parsing fills. A concrete parser implements the reading and the printing.
//
// The parser does not own its logic component and the logic component does not own its parser;
// each forgets the other when it is freed, so either may be freed first.

#include <string>

#include "fuzzy/model/fuzzy_events.h"
#include "fuzzy/runtime/component.h"
#include "fuzzy/runtime/encoding.h"

namespace fuzzy {

class TCustomFuzzyLogic;

class TCustomFuzzyLogicParser : public TComponent {
 public:
  std::string ClassName() const override { return "TCustomFuzzyLogicParser"; }

  TCustomFuzzyLogic* FuzzyLogic() const { return FFuzzyLogic; }
  void SetFuzzyLogic(TCustomFuzzyLogic* Value);

  // Reads the definitions of AString into FuzzyLogic: OnParsing, ParseFuzzyLogic, OnParsed.
  // Without a logic component raises EFzyParseException (SFuzzyLogicNotSet) before any event;
  // when the reading raises, OnParsed is not called. Encoding may be null (the text is UTF-8).
  virtual void Parse(const std::string& AString, TEncoding* Encoding);

  // The text of a set (AsDefinition: as a complete term definition) and of a variable.
  virtual std::string PrettyPrint(const TFuzzySet* FuzzySet, bool AsDefinition) = 0;
  virtual std::string PrettyPrint(const TFuzzyVariable* FuzzyVariable) = 0;

  const TNotifyEvent& OnParsing() const { return FOnParsing; }
  void SetOnParsing(TNotifyEvent Value) { FOnParsing = std::move(Value); }
  const TNotifyEvent& OnParsed() const { return FOnParsed; }
  void SetOnParsed(TNotifyEvent Value) { FOnParsed = std::move(Value); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  ~TCustomFuzzyLogicParser() override = default;
  explicit TCustomFuzzyLogicParser(TComponent* AOwner) : TComponent(AOwner) {}
  // Reads the definitions of AString into FuzzyLogic (which is set).
  virtual void ParseFuzzyLogic(const std::string& AString, TEncoding* Encoding) = 0;

 private:
  TCustomFuzzyLogic* FFuzzyLogic = nullptr;
  TNotifyEvent FOnParsing;
  TNotifyEvent FOnParsed;
};

}  // namespace fuzzy
