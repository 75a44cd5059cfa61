#pragma once
// The tokens of the definition language and their lists. Besides the text and number of a
// lexical token, a token can carry a nested token list, an interfaced fuzzy set, any interface or
// an object, so that values computed already can stand among the tokens of an expression.
//
// Both are reference-counted: create them with New<T>() and hold them in an IPtr. A token holds
// its interface value by a counted reference (a list token shares its list); it never owns or
// frees its object value.

#include <string>

#include "fuzzy/companion/stream_tokens.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TFuzzyStreamToken : public TBaseStreamToken, public virtual IFuzzyStreamToken {
 public:
  std::string ClassName() const override { return "TFuzzyStreamToken"; }

  // Each setter stores its value and makes the data type the value's kind (fstInterface, fstList,
  // fstIFuzzySet, fstObject, fstFuzzySet), or fstNone for a nil value.
  IPtr<IInterface> IntfValue() const override { return FIntfValue; }
  void SetIntfValue(const IPtr<IInterface>& Value) override;
  // The interface value as a token list (as a fuzzy set); nil when it is none.
  IPtr<IFuzzyStreamTokenList> List() const override;
  void SetList(const IPtr<IFuzzyStreamTokenList>& Value) override;
  IPtr<IFuzzySet> FuzzySetIntf() const override;
  void SetFuzzySetIntf(const IPtr<IFuzzySet>& Value) override;
  TObject* ObjValue() const override { return FObjValue; }
  void SetObjValue(TObject* Value) override;
  // The object value when it is a fuzzy set of the class model, else nullptr.
  TFuzzySet* FuzzySet() const;
  void SetFuzzySet(TFuzzySet* Value);

  // By data type: "<interface>", the list's text, the interfaced set's text, "<object>", the class
  // model set's Expression; a lexical token's text form otherwise.
  std::string ToString() const override;

  // Copies the values too; equal tokens also hold the same values.
  void Assign(const IPtr<IInterface>& Source) override;
  bool Equals(const IPtr<IInterface>& Other) override;

  // Drops the values and the tag, as a token reader does before it fills a token again.
  void ClearValues() {
    TBaseStreamToken::SetTag(0);
    FIntfValue = nullptr;
    FObjValue = nullptr;
  }

 protected:
  TFuzzyStreamToken() = default;
  ~TFuzzyStreamToken() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
  bool GetInterface(const TGUID& IID, void** Obj) override;
  TBaseStreamToken* CreateInstance() const override { return New<TFuzzyStreamToken>(); }

 private:
  // Stores Value as the interface value, of Kind when it is not nil.
  void StoreIntfValue(const IPtr<IInterface>& Value, TFuzzyStreamTokenType Kind);
  void StoreObjValue(TObject* Value, TFuzzyStreamTokenType Kind);

  IPtr<IInterface> FIntfValue;
  TObject* FObjValue = nullptr;
};

// A list of tokens; its elements are handed out as IFuzzyStreamToken. An element that is no such
// token raises EConvertError when it is asked for as one; nil stays nil.
class TFuzzyStreamTokenList : public TBaseStreamTokenList, public virtual IFuzzyStreamTokenList {
 public:
  std::string ClassName() const override { return "TFuzzyStreamTokenList"; }

  IPtr<IFuzzyStreamToken> Get(int Index) const override;
  void Put(int Index, const IPtr<IFuzzyStreamToken>& Token) override { TBaseStreamTokenList::Put(Index, Token); }
  bool Equals(const IPtr<IFuzzyStreamTokenList>& Other) override {
    return TBaseStreamTokenList::Equals(IPtr<IInterface>(Other));
  }
  bool Equals(const IPtr<IInterface>& Other) override { return TBaseStreamTokenList::Equals(Other); }
  int Add(const IPtr<IFuzzyStreamToken>& Token) override { return AddToken(Token.Get()); }
  // Adds Token, which the list then holds, without a counted reference passing through.
  int AddToken(IFuzzyStreamToken* Token) { return TBaseStreamTokenList::Add(static_cast<IInterface*>(Token)); }
  IPtr<IFuzzyStreamToken> First() const override;
  int IndexOf(const IPtr<IFuzzyStreamToken>& Token) const override {
    return TBaseStreamTokenList::IndexOf(Token);
  }
  void Insert(int Index, const IPtr<IFuzzyStreamToken>& Token) override {
    TBaseStreamTokenList::Insert(Index, Token);
  }
  IPtr<IFuzzyStreamToken> Last() const override;
  void Append(const IPtr<IFuzzyStreamTokenList>& Other) override { TBaseStreamTokenList::Append(Other); }
  void Remove(const IPtr<IFuzzyStreamToken>& Token) override { TBaseStreamTokenList::Remove(Token); }

 protected:
  TFuzzyStreamTokenList() = default;
  ~TFuzzyStreamTokenList() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
  bool GetInterface(const TGUID& IID, void** Obj) override;
  TBaseStreamTokenList* CreateInstance() const override { return New<TFuzzyStreamTokenList>(); }
};

}  // namespace fuzzy
