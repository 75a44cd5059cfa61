#pragma once
// Range-for over the items of a collection, typed as the collection's item class.
//
// The position is an index checked against the current count at every step, so a loop body that
// removes items ends the loop early instead of reading past the list.
//
//   for (TFuzzySet* Set : Variable->Items()) ...

#include "fuzzy/runtime/collection.h"

namespace fuzzy {

template <typename T>
class TItemEnumerator {
 public:
  struct TEnd {};

  TItemEnumerator(const TCollection& Collection, int Index) : FCollection(&Collection), FIndex(Index) {}
  T* operator*() const { return static_cast<T*>(FCollection->RawItems()[static_cast<std::size_t>(FIndex)]); }
  TItemEnumerator& operator++() {
    ++FIndex;
    return *this;
  }
  bool operator!=(TEnd) const { return FIndex < FCollection->Count(); }

 private:
  const TCollection* FCollection;
  int FIndex;
};

}  // namespace fuzzy
