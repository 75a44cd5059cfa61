#pragma once
// Stacks, and the object stack TGStack.
//
//   TOwned<TGStack> Stack = MakeOwned<TGStack>();
//   Stack->Push(Set);   Stack->Pop() == Set   // the stack owns nothing

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/runtime/object.h"

namespace fuzzy {

// Pop or Peek on an empty stack.
inline constexpr std::string_view SStackEmpty = "Stack is empty";

// A last-in, first-out stack of T values. Pop and Peek on an empty stack raise EAQException
// "Stack is empty". An element leaves the stack before the stack lets go of it.
template <typename T>
class TBasicStack : public TObject {
 public:
  void Push(T Item) { FItems.push_back(std::move(Item)); }
  T Pop() {
    CheckNotEmpty();
    T Item = std::move(FItems.back());
    FItems.pop_back();
    return Item;
  }
  // The top element, left on the stack.
  T Peek() const {
    CheckNotEmpty();
    return FItems.back();
  }
  bool IsEmpty() const { return FItems.empty(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear() {
    std::vector<T> Removed;
    Removed.swap(FItems);
  }

 protected:
  TBasicStack() = default;
  ~TBasicStack() override { Clear(); }

 private:
  void CheckNotEmpty() const {
    if (FItems.empty()) throw EAQException(std::string(SStackEmpty));
  }

  std::vector<T> FItems;
};

// A stack of objects it does not own: popping, clearing or freeing the stack frees no object.
class TGStack : public TBasicStack<TObject*> {
 public:
  std::string ClassName() const override { return "TGStack"; }

  // Pushes Item (the list-style name of Push).
  void Add(TObject* Item) { Push(Item); }

 protected:
  ~TGStack() override = default;
  TGStack() = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
};

}  // namespace fuzzy
