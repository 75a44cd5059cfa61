#pragma once
// String lists: lines of UTF-8 text, each with an optional object (not owned).
//
// TStrings is the abstract list (the storage is a descendant's); TStringList keeps the lines in a
// vector and adds the case rule, the sorted mode and the change events.
//
// Text() joins the lines with "\n" after each line, the last included ("a\nb\n"); SetText splits at
// CR, LF and CR LF, and a final line break does not start another line. Name=value lines are split
// at the first '='. Case-insensitive comparison (the default) folds ASCII letters only; other bytes
// compare as they are.
//
//   TOwned<TStringList> Lines = MakeOwned<TStringList>();
//   Lines->SetText("warm=very hot\ncold=not warm");
//   Lines->Values("Warm") == "very hot"   // names compare without regard to case by default

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/runtime/object.h"

namespace fuzzy {

inline constexpr std::string_view SSortedListError = "Operation not allowed on sorted list";

class TStrings : public TPersistent {
 public:
  std::string ClassName() const override { return "TStrings"; }

  int Count() const { return GetCount(); }
  // Raises EListError "List index out of bounds (i)" for a bad index, as do the other indexed calls.
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* Object) { PutObject(Index, Object); }

  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const = 0;
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* Object) = 0;

  // The index of the new line.
  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* Object);
  // Index may be Count() (append).
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void InsertObject(int Index, const std::string& S, TObject* Object);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Adds every line of Strings with its object.
  void AddStrings(const TStrings* Strings);

  // The index of the first line equal to S under the list's case rule, or -1.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfObject(const TObject* Object) const;

  std::string Text() const;
  void SetText(std::string_view Value);

  // The part before the first '=' of line Index; empty for a line without '='.
  std::string Names(int Index) const;
  // The part after the first '=' of line Index; empty for a line without '='.
  std::string ValueFromIndex(int Index) const;
  // The index of the first line whose name equals Name under the case rule, or -1.
  int IndexOfName(const std::string& Name) const;
  // The value of the first line named Name; empty when there is none.
  std::string Values(const std::string& Name) const;
  // Sets the value of the line named Name, adding "Name=Value" when there is none; an empty Value
  // deletes the line.
  virtual void SetValues(const std::string& Name, const std::string& Value);

  // Changes between BeginUpdate and the matching EndUpdate are reported once, when the outermost
  // EndUpdate is reached.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Replaces the lines (and their objects) by those of a TStrings Source, in one update bracket.
  void Assign(const TPersistent* Source) override;

 protected:
  ~TStrings() override = default;
  TStrings() = default;
  // Called by the outermost BeginUpdate (true) and EndUpdate (false).
  virtual void SetUpdateState(bool /*Updating*/) {}
  // Compares two texts under the list's case rule: negative, 0 or positive.
  virtual int CompareStrings(std::string_view S1, std::string_view S2) const;
  [[noreturn]] void IndexError(int Index) const;
  [[noreturn]] void SortedListError() const;

 private:
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
 public:
  std::string ClassName() const override { return "TStringList"; }

  using TNotifyEvent = std::function<void(TObject* Sender)>;

  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  // Raises EListError "Operation not allowed on sorted list" when the list is sorted.
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* Object) override;

  // In a sorted list the line goes to its place, after the lines equal to it.
  int AddObject(const std::string& S, TObject* Object) override;
  // Raises EListError "Operation not allowed on sorted list" when the list is sorted.
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* Object) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const std::string& S) const override;
  // In a sorted list the changed line moves to its place.
  void SetValues(const std::string& Name, const std::string& Value) override;

  // Binary search of a sorted list: true when a line equals S; Index is the first such line, or
  // where S would go.
  bool Find(const std::string& S, int& Index) const;
  // Sorts under the case rule, keeping the order of equal lines.
  void Sort();

  bool Sorted() const { return FSorted; }
  // Switching the sorted mode on sorts the list.
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  // A sorted list is sorted again under the new rule.
  void SetCaseSensitive(bool Value);

  // Fired after a change (and at the outermost EndUpdate), never inside an update bracket.
  TNotifyEvent OnChange;
  // Fired before a change (and at the outermost BeginUpdate), never inside an update bracket.
  TNotifyEvent OnChanging;

  TStringList() = default;
  explicit TStringList(bool CaseSensitive) : FCaseSensitive(CaseSensitive) {}

 protected:
  ~TStringList() override = default;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(std::string_view S1, std::string_view S2) const override;
  virtual void Changed();
  virtual void Changing();
  // Stores the line at Index (0..Count) with the change events.
  virtual void InsertItem(int Index, const std::string& S, TObject* Object);

 private:
  struct TStringItem {
    std::string FString;
    TObject* FObject;
  };
  void CheckIndex(int Index) const;
  int UpperBound(const std::string& S) const;

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
};

}  // namespace fuzzy
