#pragma once
// Reference-counted stream tokens and token lists, and the messages of the token reader.
//
// Both classes are meant to be derived from: a descendant adds its interfaces by overriding
// GetInterface (deriving them virtually from IBaseStreamToken or IBaseStreamTokenList), makes
// its own class in CreateInstance so that Clone copies keep it, and extends Assign and Equals.
//
//   IPtr<IBaseStreamToken> Token(New<TBaseStreamToken>());
//   Token->SetText("warm");   Token->SetDataType(bstAtom);

#include <string>
#include <string_view>

#include "fuzzy/companion/common_interfaces.h"
#include "fuzzy/runtime/interface_list.h"

namespace fuzzy {

// Unclosed string in a token source.
inline constexpr std::string_view SUnbalancedString = "Unbalanced string: closing quote missing";
// Token kind code that no token has; formatted with the code.
inline constexpr std::string_view SInvalidBaseTokenHint = "Invalid token type hint: %s";
// A list element asked for as a token is something else.
inline constexpr std::string_view SIntfCastError = "Interface not supported";

// The lexical token kinds, the values of a token's data type. Delimiter tokens use the character
// code of their delimiter instead; descendants add their own kinds after these.
enum TBaseStreamTokenType : int { bstNone, bstAtom, bstString, bstInteger, bstFloat, bstVariable };

// A token: its kind, text, number, line, the whitespace before it and a host tag.
class TBaseStreamToken : public TInterfacedObject, public virtual IBaseStreamToken {
 public:
  std::string ClassName() const override { return "TBaseStreamToken"; }

  // Copies kind, text, number, line, whitespace and tag from another token.
  void Assign(const IPtr<IInterface>& Source) override;
  IPtr<IInterface> Clone() override;
  // Equal tokens have the same kind, text and number; line, whitespace and tag do not count.
  bool Equals(const IPtr<IInterface>& Other) override;
  int Tag() const override { return FTag; }
  void SetTag(int Value) override { FTag = Value; }

  int DataType() const override { return FDataType; }
  // The data type as this class stores it, without a virtual call: for a reader of tokens it made
  // of this very class.
  int StoredDataType() const { return FDataType; }
  int LineNumber() const override { return FLineNumber; }
  double Number() const override { return FNumber; }
  std::string Text() const override { return FText; }
  void SetDataType(int Value) override { FDataType = Value; }
  void SetLineNumber(int Value) override { FLineNumber = Value; }
  void SetNumber(double Value) override { FNumber = Value; }
  void SetText(const std::string& Value) override { FText = Value; }
  std::string Whitespace() const override { return FWhitespace; }
  void SetWhitespace(const std::string& Value) override { FWhitespace = Value; }

  // The token as it reads in a source text: a variable reference as "?" and its name, an integer
  // in decimal digits, a float with four decimals ("2.5000"), a string as its bare text (no
  // quotes), any other kind as its text.
  std::string ToString() const override;

  // Sets kind, text, number, line and whitespace at once: how a token reader fills the tokens it
  // makes or fills again, in one call instead of five virtual ones (assigning keeps the strings'
  // room; an empty text, which a number and most tokens after a parenthesis have, is only cleared).
  void SetLexical(int DataType, std::string_view Text, double Number, int LineNumber, std::string_view Whitespace) {
    FDataType = DataType;
    Fill(FText, Text);
    FNumber = Number;
    FLineNumber = LineNumber;
    Fill(FWhitespace, Whitespace);
  }

 protected:
  ~TBaseStreamToken() override = default;
  TBaseStreamToken() = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
  bool GetInterface(const TGUID& IID, void** Obj) override;
  // A new, empty token of this object's class.
  virtual TBaseStreamToken* CreateInstance() const { return New<TBaseStreamToken>(); }

 private:
  static void Fill(std::string& Into, std::string_view Text) {
    if (Text.empty())
      Into.clear();
    else
      Into.assign(Text);
  }

  int FDataType = bstNone;
  std::string FText;
  double FNumber = 0.0;
  int FLineNumber = 0;
  std::string FWhitespace;
  int FTag = 0;
};

// A list of tokens (any interface, or nil, may be stored; nested lists are elements too).
class TBaseStreamTokenList : public TInterfacedObject, public virtual IBaseStreamTokenList {
 public:
  std::string ClassName() const override { return "TBaseStreamTokenList"; }

  // Bad indexes raise EListError "List index out of bounds (i)".
  int Add(const IPtr<IInterface>& Item) { return FItems->AddItem(Item.Get()); }
  int Add(IInterface* Item) { return FItems->AddItem(Item); }
  IPtr<IInterface> Get(int Index) const { return FItems->Get(Index); }
  // The element at Index, not counted: the list keeps it.
  IInterface* ItemAt(int Index) const { return FItems->ItemAt(Index); }
  void Put(int Index, const IPtr<IInterface>& Item) { FItems->Put(Index, Item); }
  void Insert(int Index, const IPtr<IInterface>& Item) { FItems->Insert(Index, Item); }
  int IndexOf(const IPtr<IInterface>& Item) const { return FItems->IndexOf(Item); }
  int Remove(const IPtr<IInterface>& Item) { return FItems->Remove(Item); }
  // The first or last element; nil when the list is empty.
  IPtr<IInterface> First() const;
  IPtr<IInterface> Last() const;
  // Adds the elements of Other (shared, not copied) after the own ones; Other may be this list.
  void Append(const IPtr<IBaseStreamTokenList>& Other);

  int GetValueCount() const override { return FItems->Count(); }
  IPtr<IInterface> GetValue(int Index) const override { return Get(Index); }
  IPtr<IBaseStreamToken> GetBaseStreamToken(int Index) const override;
  void PutBaseStreamToken(int Index, const IPtr<IBaseStreamToken>& Token) override;
  IPtr<IBaseStreamToken> FirstBaseStreamToken() const override;
  IPtr<IBaseStreamToken> LastBaseStreamToken() const override;
  void Delete(int Index) override { FItems->Delete(Index); }
  void Clear() override { FItems->Clear(); }

  // Replaces the elements by those of another list (shared, not copied) and takes its tag.
  void Assign(const IPtr<IInterface>& Source) override;
  // A list of this class whose elements are clones of the cloneable elements (others are shared).
  IPtr<IInterface> Clone() override;
  // Same count, and each element is the same object as, or Equals, the other list's element.
  bool Equals(const IPtr<IInterface>& Other) override;
  int Tag() const override { return FTag; }
  void SetTag(int Value) override { FTag = Value; }

  // The elements' text forms separated by single spaces, in parentheses: "(tri 1 2.5000 3)".
  // A nested list shows its own text form, nil shows "nil", any other interface "<interface>".
  std::string ToString() const override;

 protected:
  ~TBaseStreamTokenList() override = default;
  TBaseStreamTokenList();
  template <typename T, typename... Args>
  friend T* New(Args&&...);
  bool GetInterface(const TGUID& IID, void** Obj) override;
  // A new, empty list of this object's class.
  virtual TBaseStreamTokenList* CreateInstance() const { return New<TBaseStreamTokenList>(); }

 private:
  IPtr<TInterfaceList> FItems;
  int FTag = 0;
};

}  // namespace fuzzy
