#include "fuzzy/companion/stream_tokens.h"

#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/format.h"

namespace fuzzy {

namespace {

// An interface view of a list element: nil stays nil, an element without the interface raises.
template <typename T>
IPtr<T> CastElement(const IPtr<IInterface>& Element) {
  IPtr<T> Result;
  if (Element && !Supports<T>(Element, Result)) throw EConvertError(std::string(SIntfCastError));
  return Result;
}

std::string ElementText(const IPtr<IInterface>& Element) {
  if (!Element) return "nil";
  if (const auto Token = QueryIntf<IBaseStreamToken>(Element)) return Token->ToString();
  if (const auto List = QueryIntf<IBaseStreamTokenList>(Element)) return List->ToString();
  return "<interface>";
}

bool ElementsEqual(const IPtr<IInterface>& A, const IPtr<IInterface>& B) {
  if (A == B) return true;
  const auto Cloneable = QueryIntf<ICloneable>(A);
  return Cloneable && B && Cloneable->Equals(B);
}

}  // namespace

// TBaseStreamToken

void TBaseStreamToken::Assign(const IPtr<IInterface>& Source) {
  const auto Token = QueryIntf<IBaseStreamToken>(Source);
  if (!Token) return;
  FDataType = Token->DataType();
  FText = Token->Text();
  FNumber = Token->Number();
  FLineNumber = Token->LineNumber();
  FWhitespace = Token->Whitespace();
  FTag = Token->Tag();
}

IPtr<IInterface> TBaseStreamToken::Clone() {
  IPtr<IBaseStreamToken> Copy(CreateInstance());
  Copy->Assign(IPtr<IInterface>(static_cast<IInterface*>(this)));
  return Copy;
}

bool TBaseStreamToken::Equals(const IPtr<IInterface>& Other) {
  const auto Token = QueryIntf<IBaseStreamToken>(Other);
  return Token && Token->DataType() == FDataType && Token->Text() == FText && Token->Number() == FNumber;
}

std::string TBaseStreamToken::ToString() const {
  switch (FDataType) {
    case bstVariable:
      return "?" + FText;
    case bstInteger:
      return Format("%.0f", {FNumber});
    case bstFloat:
      return Format("%.4f", {FNumber});
    default:
      return FText;
  }
}

bool TBaseStreamToken::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IBaseStreamToken::IID) {
    *Obj = static_cast<IBaseStreamToken*>(this);
    return true;
  }
  if (IID == ICloneable::IID) {
    *Obj = static_cast<ICloneable*>(this);
    return true;
  }
  return TInterfacedObject::GetInterface(IID, Obj);
}

// TBaseStreamTokenList

TBaseStreamTokenList::TBaseStreamTokenList() : FItems(New<TInterfaceList>()) {}

IPtr<IInterface> TBaseStreamTokenList::First() const {
  return GetValueCount() == 0 ? nullptr : FItems->First();
}

IPtr<IInterface> TBaseStreamTokenList::Last() const {
  return GetValueCount() == 0 ? nullptr : FItems->Last();
}

void TBaseStreamTokenList::Append(const IPtr<IBaseStreamTokenList>& Other) {
  if (!Other) return;
  const int Count = Other->GetValueCount();
  for (int I = 0; I < Count; ++I) Add(Other->GetValue(I));
}

IPtr<IBaseStreamToken> TBaseStreamTokenList::GetBaseStreamToken(int Index) const {
  return CastElement<IBaseStreamToken>(Get(Index));
}

void TBaseStreamTokenList::PutBaseStreamToken(int Index, const IPtr<IBaseStreamToken>& Token) {
  Put(Index, Token);
}

IPtr<IBaseStreamToken> TBaseStreamTokenList::FirstBaseStreamToken() const {
  return CastElement<IBaseStreamToken>(First());
}

IPtr<IBaseStreamToken> TBaseStreamTokenList::LastBaseStreamToken() const {
  return CastElement<IBaseStreamToken>(Last());
}

void TBaseStreamTokenList::Assign(const IPtr<IInterface>& Source) {
  const auto List = QueryIntf<IBaseStreamTokenList>(Source);
  if (!List || List.Get() == static_cast<IBaseStreamTokenList*>(this)) return;
  Clear();
  Append(List);
  FTag = List->Tag();
}

IPtr<IInterface> TBaseStreamTokenList::Clone() {
  IPtr<TBaseStreamTokenList> Copy(CreateInstance());
  const int Count = GetValueCount();
  for (int I = 0; I < Count; ++I) {
    const IPtr<IInterface> Element = Get(I);
    const auto Cloneable = QueryIntf<ICloneable>(Element);
    Copy->Add(Cloneable ? Cloneable->Clone() : Element);
  }
  Copy->FTag = FTag;
  return IPtr<IBaseStreamTokenList>(Copy);
}

bool TBaseStreamTokenList::Equals(const IPtr<IInterface>& Other) {
  const auto List = QueryIntf<IBaseStreamTokenList>(Other);
  if (!List || List->GetValueCount() != GetValueCount()) return false;
  for (int I = 0; I < GetValueCount(); ++I)
    if (!ElementsEqual(Get(I), List->GetValue(I))) return false;
  return true;
}

std::string TBaseStreamTokenList::ToString() const {
  std::string Result = "(";
  for (int I = 0; I < GetValueCount(); ++I) {
    if (I > 0) Result += ' ';
    Result += ElementText(Get(I));
  }
  return Result + ")";
}

bool TBaseStreamTokenList::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IBaseStreamTokenList::IID) {
    *Obj = static_cast<IBaseStreamTokenList*>(this);
    return true;
  }
  if (IID == ICloneable::IID) {
    *Obj = static_cast<ICloneable*>(this);
    return true;
  }
  return TInterfacedObject::GetInterface(IID, Obj);
}

}  // namespace fuzzy
