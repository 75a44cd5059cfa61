#pragma once
// The companion library's interfaces: cloneable objects, stream tokens and token lists.
//
// Interfaces derive from their parents virtually, so a class that implements a derived interface
// (a fuzzy token implementing a fuzzy token interface over IBaseStreamToken) shares the parent's
// implementation instead of having to implement the parent's operations a second time. Derive new
// interfaces from these with `public virtual` as well.
//
//   IPtr<IInterface> Copy = Token->Clone();   // ICloneable: a new object of the same class

#include <string>

#include "fuzzy/runtime/interface.h"

namespace fuzzy {

class ICloneable : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{2D42CCDB-D296-11D3-B9BB-00C04F8EDA5F}");

  // Copies Source's contents into this object; a Source of another kind is ignored.
  virtual void Assign(const IPtr<IInterface>& Source) = 0;
  // A new object of the same class with the same contents.
  virtual IPtr<IInterface> Clone() = 0;
  virtual bool Equals(const IPtr<IInterface>& Other) = 0;
  virtual int Tag() const = 0;
  virtual void SetTag(int Value) = 0;

 protected:
  ~ICloneable() = default;
};

class IBaseStreamToken : public virtual ICloneable {
 public:
  static constexpr TGUID IID = TGUID::FromString("{CCE9541F-DBBC-42B9-B420-C6F5AAFA67D1}");

  virtual int DataType() const = 0;
  virtual int LineNumber() const = 0;
  virtual double Number() const = 0;
  virtual std::string Text() const = 0;
  virtual void SetDataType(int Value) = 0;
  virtual void SetLineNumber(int Value) = 0;
  virtual void SetNumber(double Value) = 0;
  virtual void SetText(const std::string& Value) = 0;
  // The text that preceded the token in its source (blanks, line breaks, comments).
  virtual std::string Whitespace() const = 0;
  virtual void SetWhitespace(const std::string& Value) = 0;
  virtual std::string ToString() const = 0;

 protected:
  ~IBaseStreamToken() = default;
};

// A list of token interfaces. The typed element accessors (Get, Add, First, ...) live on the
// implementing classes, so that descendant interfaces can declare them with their own token type.
class IBaseStreamTokenList : public virtual ICloneable {
 public:
  static constexpr TGUID IID = TGUID::FromString("{B6310763-2490-4DF2-B478-8CCE8BEB8E86}");

  virtual int GetValueCount() const = 0;
  // The element at Index as stored (a token, a nested list, any interface or nil).
  virtual IPtr<IInterface> GetValue(int Index) const = 0;
  // The element at Index as a token; nil stays nil, an element that is no token raises.
  virtual IPtr<IBaseStreamToken> GetBaseStreamToken(int Index) const = 0;
  virtual void PutBaseStreamToken(int Index, const IPtr<IBaseStreamToken>& Token) = 0;
  // The first or last element as a token; nil when the list is empty.
  virtual IPtr<IBaseStreamToken> FirstBaseStreamToken() const = 0;
  virtual IPtr<IBaseStreamToken> LastBaseStreamToken() const = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  virtual std::string ToString() const = 0;

 protected:
  ~IBaseStreamTokenList() = default;
};

}  // namespace fuzzy
