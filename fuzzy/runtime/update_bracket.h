#pragma once
// Scoped BeginUpdate/EndUpdate on a collection (or anything with that pair).

#include <exception>

namespace fuzzy {

// Keeps a batch open for the lifetime of the guard, so an exception cannot leave it open. The
// closing notification may raise; while another exception unwinds, its own is dropped.
template <typename T>
class TUpdateBracketOf {
 public:
  explicit TUpdateBracketOf(T& Target) : FTarget(Target), FUncaught(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  ~TUpdateBracketOf() noexcept(false) {
    if (std::uncaught_exceptions() == FUncaught) {
      FTarget.EndUpdate();
      return;
    }
    try {
      FTarget.EndUpdate();
    } catch (...) {
    }
  }
  TUpdateBracketOf(const TUpdateBracketOf&) = delete;
  TUpdateBracketOf& operator=(const TUpdateBracketOf&) = delete;

 private:
  T& FTarget;
  int FUncaught;
};

class TCollection;
using TUpdateBracket = TUpdateBracketOf<TCollection>;

}  // namespace fuzzy
