#include "fuzzy/imodel/fuzzy_stream_tokens.h"

#include <typeinfo>

#include "fuzzy/imodel/interfaced.h"
#include "fuzzy/runtime/exception.h"

namespace fuzzy {

namespace {

// A list element as a fuzzy token: nil stays nil, an element of another kind raises. A token of
// exactly this library's class is the pointer its interface query would answer.
IPtr<IFuzzyStreamToken> AsFuzzyToken(IInterface* Element) {
  if (Element && typeid(*Element) == typeid(TFuzzyStreamToken))
    return IPtr<IFuzzyStreamToken>(ObjectOf<TFuzzyStreamToken>(Element));
  IPtr<IFuzzyStreamToken> Token;
  if (Element && !Supports<IFuzzyStreamToken>(Element, Token)) throw EConvertError(std::string(SIntfCastError));
  return Token;
}

IPtr<IFuzzyStreamToken> AsFuzzyToken(const IPtr<IInterface>& Element) { return AsFuzzyToken(Element.Get()); }

}  // namespace

// ---- TFuzzyStreamToken -------------------------------------------------------------------------

void TFuzzyStreamToken::StoreIntfValue(const IPtr<IInterface>& Value, TFuzzyStreamTokenType Kind) {
  FIntfValue = Value;
  SetDataType(Value ? Kind : fstNone);
}

void TFuzzyStreamToken::StoreObjValue(TObject* Value, TFuzzyStreamTokenType Kind) {
  FObjValue = Value;
  SetDataType(Value ? Kind : fstNone);
}

void TFuzzyStreamToken::SetIntfValue(const IPtr<IInterface>& Value) { StoreIntfValue(Value, fstInterface); }

void TFuzzyStreamToken::SetList(const IPtr<IFuzzyStreamTokenList>& Value) {
  StoreIntfValue(IPtr<IInterface>(Value), fstList);
}

void TFuzzyStreamToken::SetFuzzySetIntf(const IPtr<IFuzzySet>& Value) {
  StoreIntfValue(IPtr<IInterface>(Value), fstIFuzzySet);
}

void TFuzzyStreamToken::SetObjValue(TObject* Value) { StoreObjValue(Value, fstObject); }

void TFuzzyStreamToken::SetFuzzySet(TFuzzySet* Value) { StoreObjValue(Value, fstFuzzySet); }

IPtr<IFuzzyStreamTokenList> TFuzzyStreamToken::List() const { return QueryIntf<IFuzzyStreamTokenList>(FIntfValue); }

IPtr<IFuzzySet> TFuzzyStreamToken::FuzzySetIntf() const { return QueryIntf<IFuzzySet>(FIntfValue); }

TFuzzySet* TFuzzyStreamToken::FuzzySet() const { return dynamic_cast<TFuzzySet*>(FObjValue); }

std::string TFuzzyStreamToken::ToString() const {
  switch (DataType()) {
    case fstInterface:
      return "<interface>";
    case fstList:
      if (const auto Value = List()) return Value->ToString();
      break;
    case fstIFuzzySet:
      if (const auto Value = FuzzySetIntf()) return Value->ToString();
      break;
    case fstObject:
      return "<object>";
    case fstFuzzySet:
      if (const TFuzzySet* Value = FuzzySet()) return Value->Expression();
      break;
    default:
      break;
  }
  return TBaseStreamToken::ToString();
}

void TFuzzyStreamToken::Assign(const IPtr<IInterface>& Source) {
  TBaseStreamToken::Assign(Source);
  if (const auto Token = QueryIntf<IFuzzyStreamToken>(Source)) {
    FIntfValue = Token->IntfValue();
    FObjValue = Token->ObjValue();
  }
}

bool TFuzzyStreamToken::Equals(const IPtr<IInterface>& Other) {
  if (!TBaseStreamToken::Equals(Other)) return false;
  // A lexical token of another class holds no values.
  const auto Token = QueryIntf<IFuzzyStreamToken>(Other);
  const IPtr<IInterface> OtherIntf = Token ? Token->IntfValue() : nullptr;
  const TObject* OtherObj = Token ? Token->ObjValue() : nullptr;
  return OtherIntf == FIntfValue && OtherObj == FObjValue;
}

bool TFuzzyStreamToken::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IFuzzyStreamToken::IID) {
    *Obj = static_cast<IFuzzyStreamToken*>(this);
    return true;
  }
  return TBaseStreamToken::GetInterface(IID, Obj);
}

// ---- TFuzzyStreamTokenList ---------------------------------------------------------------------

IPtr<IFuzzyStreamToken> TFuzzyStreamTokenList::Get(int Index) const {
  return AsFuzzyToken(ItemAt(Index));
}

IPtr<IFuzzyStreamToken> TFuzzyStreamTokenList::First() const { return AsFuzzyToken(TBaseStreamTokenList::First()); }

IPtr<IFuzzyStreamToken> TFuzzyStreamTokenList::Last() const { return AsFuzzyToken(TBaseStreamTokenList::Last()); }

bool TFuzzyStreamTokenList::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IFuzzyStreamTokenList::IID) {
    *Obj = static_cast<IFuzzyStreamTokenList*>(this);
    return true;
  }
  return TBaseStreamTokenList::GetInterface(IID, Obj);
}

}  // namespace fuzzy
