#pragma once
// The base of the logic components: the settings that the fuzzy-set engine reads (methods,
// threshold, number of function points), the definition text (Strings) kept in step with the
// model through an attached parser, and the named expressions (Variables).
//
// The component owns its two string lists; it does not own its parser. Parser and component
// forget each other when either is freed.
//
//   Logic->SetThreshold(0.05);           // every variable's rule threshold
//   Logic->SetCorrelationMethod(fcmProduct);

#include <string>

#include "fuzzy/engine/fuzzy_context.h"
#include "fuzzy/model/fuzzy_events.h"
#include "fuzzy/runtime/component.h"
#include "fuzzy/runtime/strings.h"

namespace fuzzy {

class TCustomFuzzyLogicParser;

class TCustomFuzzyLogic : public TComponent, public TFuzzyLogicContext {
 public:
  std::string ClassName() const override { return "TCustomFuzzyLogic"; }

  // ---- settings ----
  // The number of points the built-in membership functions generate; never below 2.
  int NumFunctionValues() const override { return FNumFunctionValues; }
  void SetNumFunctionValues(int Value);
  TDefuzzificationMethod DefuzzificationMethod() const override { return FDefuzzificationMethod; }
  void SetDefuzzificationMethod(TDefuzzificationMethod Value) { FDefuzzificationMethod = Value; }
  TFuzzyInferenceMethod InferenceMethod() const override { return FInferenceMethod; }
  void SetInferenceMethod(TFuzzyInferenceMethod Value) { FInferenceMethod = Value; }
  TFuzzyCorrelationMethod CorrelationMethod() const override { return FCorrelationMethod; }
  void SetCorrelationMethod(TFuzzyCorrelationMethod Value) { FCorrelationMethod = Value; }
  // Whether each new variable receives the terms "low", "medium" and "high".
  bool AutoTerms() const { return FAutoTerms; }
  void SetAutoTerms(bool Value) { FAutoTerms = Value; }
  // The rule threshold given to every variable; clamped into [0, 1]. A change is passed on by
  // ThresholdChanged and reports no model change.
  TFzyFloat Threshold() const { return FThreshold; }
  void SetThreshold(TFzyFloat Value);

  // ---- parser and texts ----
  TCustomFuzzyLogicParser* Parser() const { return FParser; }
  void SetParser(TCustomFuzzyLogicParser* Value);
  // The definition text; regenerated from the model first when the model changed since the text
  // was last made or parsed (which needs a parser, see UpdateStrings).
  TStrings& Strings() { return *GetStrings(); }
  TStrings* GetStrings();
  // Copies Value's lines into Strings, then parses them (not while loading).
  void SetStrings(const TStrings* Value);
  // Lines of the form name=expression text, looked up without regard to case.
  TStrings& Variables() const { return *FVariables; }
  void SetVariables(const TStrings* Value);
  // The model changed since Strings was last generated or parsed.
  bool NeedsUpdate() const { return FNeedsUpdate; }

  // Regenerates Strings from the model: clears NeedsUpdate, then, outside loading, raises
  // EFzyException (SParserUnassigned) without a parser, or writes one entry per variable
  // (WriteVariables) and puts them in Strings at once. When a variable cannot be written, Strings
  // keeps its old text, NeedsUpdate stays set and the error passes on.
  virtual void UpdateStrings();
  // Removes every variable (ClearVariables), then hands the text of Strings to the parser, which
  // rebuilds them. Does nothing while loading; raises EFzyException (SParserUnassigned) without a
  // parser before anything changes; afterwards NeedsUpdate is false, also when the parser raises
  // (Strings keeps the text that failed, the model what was read before the error).
  virtual void Parse();

  // ---- events ----
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

  // ---- what the sets read ----
  bool IsDesigning() const override { return TComponent::IsDesigning(); }
  bool PrettyPrintSet(const TFuzzySet& Set, std::string& Text) const override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

 protected:
  ~TCustomFuzzyLogic() override = default;
  explicit TCustomFuzzyLogic(TComponent* AOwner);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Called after the threshold changed.
  virtual void ThresholdChanged() {}
  // Appends the definition text of each variable to Text, in the component's order.
  virtual void WriteVariables(TStrings& Text) const = 0;
  // Removes every variable, before a parse rebuilds them.
  virtual void ClearVariables() = 0;
  void SetNeedsUpdate(bool Value) { FNeedsUpdate = Value; }
  // The definition text as stored, without regenerating it.
  TStrings& StoredStrings() const { return *FStrings; }

 private:
  int FNumFunctionValues = 7;
  TNotifyEvent FOnChange;
  TDefuzzificationMethod FDefuzzificationMethod = dmCenterOfGravity;
  TCustomFuzzyLogicParser* FParser = nullptr;
  TOwned<TStringList> FStrings;
  bool FNeedsUpdate = false;
  TOwned<TStringList> FVariables;
  bool FAutoTerms = true;
  TFuzzyCorrelationMethod FCorrelationMethod = fcmMinimum;
  TFuzzyInferenceMethod FInferenceMethod = fimMinMax;
  TFzyFloat FThreshold = 0.01;
};

}  // namespace fuzzy
