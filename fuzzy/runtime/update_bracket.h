#pragma once
// Scoped BeginUpdate/EndUpdate on a collection (or anything with that pair).
//
//   {
//     TUpdateBracket Bracket(Set->Values());   // BeginUpdate
//     Set->Values().Add(0, 0);
//     Set->Values().Add(10, 1);
//   }                                          // EndUpdate: one clean-up, one change report

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
    try {
      FTarget.EndUpdate();
    } catch (...) {
      // Raised on a normal exit: passed on. Raised while an exception from inside the bracket
      // unwinds (that one is still uncaught here): dropped.
      if (std::uncaught_exceptions() == FUncaught) throw;
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

// Body() between Target.BeginUpdate() and Target.EndUpdate(), under the guard's rule for an error
// of the closing EndUpdate. Cheaper than the guard, which must ask for the count of uncaught
// exceptions when it opens: for the paths every rule firing takes.
template <typename T, typename TBody>
void WithinUpdate(T& Target, TBody&& Body) {
  Target.BeginUpdate();
  try {
    Body();
  } catch (...) {
    try {
      Target.EndUpdate();
    } catch (...) {
      // Dropped: the error from Body is the one to report.
    }
    throw;
  }
  Target.EndUpdate();
}

}  // namespace fuzzy
