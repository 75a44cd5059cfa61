#pragma once
// A linguistic variable: a named numeric range with units, a comment and a rule threshold, owning
// its terms (a TFuzzySets of fuzzy sets). Variables are items of a logic component's variables
// collection; a variable can also stand alone (New<TFuzzyVariable>(nullptr)).
//
// Creation: the set list exists before the variable joins its collection, because the logic
// component reacts to the join by adding the automatic terms.
// Destruction (Free): the sets are freed first, while the variable is still in its collection, so
// each sends its deleted event; then the variable leaves its collection.
//
// Changes travel upward: a set's change reaches Update, a set joining or leaving reaches Notify,
// and both go on to the variables collection (or, outside one, to the variable's own change).
//
//   TFuzzyVariable* Tip = Logic->Items().Add("tip");
//   Tip->SetMaximum(30);
//   TFuzzySet* Conclusion = Tip->AssertRule(0.4, Cheap, nullptr);   // nullptr below the threshold

#include <algorithm>
#include <span>
#include <string>

#include "fuzzy/companion/structures.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/model/fuzzy_sets.h"
#include "fuzzy/model/fuzzy_variable_range.h"

namespace fuzzy {

class TCustomFuzzyLogic;
class TFuzzyVariable;
class TFuzzyVariables;

// The class of a variable, as a factory that creates an instance with the given set class in
// Collection (nullptr for none).
using TFuzzyVariableClass = TFuzzyVariable* (*)(TCollection* Collection, TFuzzySetClass SetClass);

template <typename T>
TFuzzyVariable* CreateFuzzyVariable(TCollection* Collection, TFuzzySetClass SetClass) {
  return New<T>(Collection, SetClass);
}

// Sets passed to the rule operations, paired by position.
using TFuzzySetSpan = std::span<const TFuzzySet* const>;

class TFuzzyVariable : public TGCollectionItem, public TFuzzyVariableRange {
 public:
  std::string ClassName() const override { return "TFuzzyVariable"; }

  // ---- properties ----
  // Minimum, Maximum and Threshold with their setters: TFuzzyVariableRange.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  const std::string& Units() const { return FUnits; }
  void SetUnits(const std::string& Value);
  const std::string& Comment() const { return FComment; }
  void SetComment(const std::string& Value);
  // The current set, -1 for none.
  int ItemIndex() const { return FItemIndex; }
  // Stores Value untested, but raises EFzyException (SListIndexError, Value) while the index held
  // now is at or above the number of sets. An index left too high is pulled back to the last set
  // by the next update of the set list (and at once inside a logic component).
  void SetItemIndex(int Value);
  TFuzzySets& Items() const { return *FItems; }
  // Copies Value's sets into Items (the list itself is never replaced).
  void SetItems(const TFuzzySets* Value);

  // The variables collection the variable belongs to, or nullptr.
  TFuzzyVariables* GetCollection() const;
  void SetCollection(TCollection* Value) override;
  // The logic component that owns the variable's collection, or nullptr.
  TCustomFuzzyLogic* Fuzzy() const { return GetFuzzy(); }
  TCustomFuzzyLogic* GetFuzzy() const;
  const TFuzzyLogicContext* LogicContext() const override;

  // ---- object ----
  // From another variable: name, range, threshold, units, comment and ItemIndex as they are (no
  // checks, no change report), then a copy of its sets.
  void Assign(const TPersistent* Source) override;
  std::string GetDisplayName() const override;
  std::string GetItemName() const final { return FName; }
  bool NamedAs(std::string_view Name) const override { return FName == Name; }
  // The parser's text of the variable when its logic component has a parser; else the display name.
  std::string ToString() const override;
  std::string AsString() const { return ToString(); }

  // ---- rules ----
  // The lowest correlation strength of each premise with the matching set at its position; 1 for
  // no premises. Raises EListError when Matchings is shorter than Premises.
  TFzyFloat GetCorrelationStrength(TFuzzySetSpan Premises, TFuzzySetSpan Matchings) const;

  // Fires a rule with CorrelationStrength. Below this variable's Threshold (0.01 in a logic component
  // unless the component says otherwise) nothing happens and the result is nullptr: check it before
  // using it. A NaN or infinite strength raises EFzyException. Otherwise a clone of NewEvidence is correlated with the strength (by the
  // method of the logic component of NewEvidence's variable); without OldEvidence that clone is the
  // result. With OldEvidence the result is OldEvidence inferred with the clone (the union under
  // the inference method of OldEvidence's component), and the clone is freed; OldEvidence itself
  // is unchanged.
  //
  // Ownership: the result is a new set in the collection of the set it was made from (NewEvidence
  // without OldEvidence, else OldEvidence), so it joins that set's variable, which owns it (free it
  // with Free() when it is no longer needed, or leave it to the variable; never Adopt it); when that
  // set is free-standing, the result belongs to the caller (Adopt it).
  virtual TFuzzySet* AssertRule(TFzyFloat CorrelationStrength, const TFuzzySet* NewEvidence,
                                const TFuzzySet* OldEvidence);
  // The same with the strength GetCorrelationStrength(Premises, Matchings).
  virtual TFuzzySet* AssertRule(TFuzzySetSpan Premises, TFuzzySetSpan Matchings, const TFuzzySet* NewEvidence,
                                const TFuzzySet* OldEvidence);
  // The same with the strength Premise->GetCorrelationStrength(Matching).
  virtual TFuzzySet* AssertRule(const TFuzzySet* Premise, const TFuzzySet* NewEvidence,
                                const TFuzzySet* Matching, const TFuzzySet* OldEvidence);

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  ~TFuzzyVariable() override = default;
  explicit TFuzzyVariable(TCollection* Collection, TFuzzySetClass SetClass = &CreateFuzzySet<TFuzzySet>)
      : TGCollectionItem(Collection), FSetClass(SetClass) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Makes the set list; descendants may make another collection class.
  virtual TFuzzySets* CreateItems();
  // To a string list: one line per set, its name, with the set as the line's object.
  void AssignTo(TPersistent* Dest) const override;
  // A set joined, is leaving or is being deleted.
  virtual void Notify(TFuzzySet* FuzzySet, TCollectionNotification Action);
  // A set changed (FuzzySet), or the whole set list (nullptr).
  virtual void Update(TFuzzySet* FuzzySet);
  void RangeChanged() override { Changed(false); }

 private:
  friend class TFuzzySets;
  friend class TFuzzyVariables;
  // Stores a text property and reports the change, unless Value is already stored.
  void SetText(std::string& Field, const std::string& Value);

  // The variables collection that SetCollection found, valid while Collection() is FCheckedCollection.
  TCollection* FCheckedCollection = nullptr;
  TFuzzyVariables* FVariables = nullptr;
  std::string FName;
  int FItemIndex = -1;
  std::string FUnits;
  TOwned<TFuzzySets> FItems;
  TFuzzySetClass FSetClass;
  std::string FComment;
};

}  // namespace fuzzy
