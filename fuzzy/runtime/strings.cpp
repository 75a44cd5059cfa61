#include "fuzzy/runtime/strings.h"

#include <algorithm>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

char FoldCase(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

int CompareBytes(std::string_view S1, std::string_view S2, bool CaseSensitive) {
  const std::size_t N = std::min(S1.size(), S2.size());
  for (std::size_t I = 0; I < N; ++I) {
    const auto A = static_cast<unsigned char>(CaseSensitive ? S1[I] : FoldCase(S1[I]));
    const auto B = static_cast<unsigned char>(CaseSensitive ? S2[I] : FoldCase(S2[I]));
    if (A != B) return A < B ? -1 : 1;
  }
  return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
}

}  // namespace

// TStrings

void TStrings::Put(int Index, const std::string& S) {
  TObject* Object = GetObject(Index);
  const TUpdateBracketOf<TStrings> Bracket(*this);
  Delete(Index);
  InsertObject(Index, S, Object);
}

int TStrings::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStrings::AddObject(const std::string& S, TObject* Object) {
  const int Index = GetCount();
  InsertObject(Index, S, Object);
  return Index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* Object) {
  Insert(Index, S);
  PutObject(Index, Object);
}

void TStrings::AddStrings(const TStrings* Strings) {
  if (!Strings) return;
  const TUpdateBracketOf<TStrings> Bracket(*this);
  const int N = Strings->GetCount();
  for (int I = 0; I < N; ++I) AddObject(Strings->Get(I), Strings->GetObject(I));
}

int TStrings::IndexOf(const std::string& S) const {
  const int N = GetCount();
  for (int I = 0; I < N; ++I)
    if (CompareStrings(Get(I), S) == 0) return I;
  return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
  const int N = GetCount();
  for (int I = 0; I < N; ++I)
    if (GetObject(I) == Object) return I;
  return -1;
}

std::string TStrings::Text() const {
  std::string Result;
  const int N = GetCount();
  for (int I = 0; I < N; ++I) {
    Result += Get(I);
    Result += '\n';
  }
  return Result;
}

void TStrings::SetText(std::string_view Value) {
  const TUpdateBracketOf<TStrings> Bracket(*this);
  Clear();
  std::size_t Start = 0;
  while (Start < Value.size()) {
    std::size_t End = Start;
    while (End < Value.size() && Value[End] != '\r' && Value[End] != '\n') ++End;
    Add(std::string(Value.substr(Start, End - Start)));
    if (End < Value.size() && Value[End] == '\r') {
      ++End;
      if (End < Value.size() && Value[End] == '\n') ++End;
    } else if (End < Value.size()) {
      ++End;
    }
    Start = End;
  }
}

std::string TStrings::Names(int Index) const {
  const std::string S = Get(Index);
  const std::size_t P = S.find('=');
  return P == std::string::npos ? std::string() : S.substr(0, P);
}

std::string TStrings::ValueFromIndex(int Index) const {
  const std::string S = Get(Index);
  const std::size_t P = S.find('=');
  return P == std::string::npos ? std::string() : S.substr(P + 1);
}

int TStrings::IndexOfName(const std::string& Name) const {
  const int N = GetCount();
  for (int I = 0; I < N; ++I) {
    const std::string S = Get(I);
    const std::size_t P = S.find('=');
    if (P != std::string::npos && CompareStrings(std::string_view(S).substr(0, P), Name) == 0) return I;
  }
  return -1;
}

std::string TStrings::Values(const std::string& Name) const {
  const int I = IndexOfName(Name);
  return I < 0 ? std::string() : ValueFromIndex(I);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  const int I = IndexOfName(Name);
  if (Value.empty()) {
    if (I >= 0) Delete(I);
    return;
  }
  const std::string Line = Name + "=" + Value;
  if (I < 0) {
    Add(Line);
    return;
  }
  Put(I, Line);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* Source) {
  const auto* Strings = dynamic_cast<const TStrings*>(Source);
  if (!Strings) {
    TPersistent::Assign(Source);
    return;
  }
  if (Strings == this) return;
  const TUpdateBracketOf<TStrings> Bracket(*this);
  Clear();
  AddStrings(Strings);
}

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const {
  return CompareBytes(S1, S2, false);
}

void TStrings::IndexError(int Index) const { throw EListError(SListIndexError, {Index}); }

void TStrings::SortedListError() const { throw EListError(std::string(SSortedListError)); }

// TStringList

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) SortedListError();
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* Object) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FObject = Object;
  Changed();
}

int TStringList::AddObject(const std::string& S, TObject* Object) {
  const int Index = FSorted ? UpperBound(S) : GetCount();
  InsertItem(Index, S, Object);
  return Index;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* Object) {
  if (FSorted) SortedListError();
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  InsertItem(Index, S, Object);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* Object) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, Object});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  Changed();
}

void TStringList::SetValues(const std::string& Name, const std::string& Value) {
  const int I = IndexOfName(Name);
  if (!FSorted || I < 0 || Value.empty()) {
    TStrings::SetValues(Name, Value);
    return;
  }
  TObject* Object = GetObject(I);
  const TUpdateBracketOf<TStrings> Bracket(*this);
  Delete(I);
  AddObject(Name + "=" + Value, Object);
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int Index;
  return Find(S, Index) ? Index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  int Low = 0, High = GetCount();
  while (Low < High) {
    const int Mid = Low + (High - Low) / 2;
    if (CompareStrings(FList[static_cast<std::size_t>(Mid)].FString, S) < 0)
      Low = Mid + 1;
    else
      High = Mid;
  }
  Index = Low;
  return Low < GetCount() && CompareStrings(FList[static_cast<std::size_t>(Low)].FString, S) == 0;
}

int TStringList::UpperBound(const std::string& S) const {
  int Low = 0, High = GetCount();
  while (Low < High) {
    const int Mid = Low + (High - Low) / 2;
    if (CompareStrings(S, FList[static_cast<std::size_t>(Mid)].FString) < 0)
      High = Mid;
    else
      Low = Mid + 1;
  }
  return Low;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& A, const TStringItem& B) {
    return CompareStrings(A.FString, B.FString) < 0;
  });
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
  return CompareBytes(S1, S2, FCaseSensitive);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

}  // namespace fuzzy
