#include "fuzzy/companion/helper_functions.h"

#include <string>
#include <vector>

#include "fuzzy/companion/aq_constants.h"

namespace fuzzy {

namespace {

struct TStacked {
  IPtr<IInterface> Item;
  bool IsOpenParen;
};

}  // namespace

IPtr<IInterfaceList> PostFix(const IPtr<IInterfaceList>& List, const TPostFixTest& IsOperand,
                             const TPostFixTest& IsOpenParen, const TPostFixTest& IsCloseParen,
                             const TPostFixPriority& InStackPriority,
                             const TPostFixPriority& IncomingPriority) {
  if (!IsOperand || !IsOpenParen || !IsCloseParen || !InStackPriority || !IncomingPriority)
    throw EAQException(std::string(SPostFixCallbackMissing));
  IPtr<IInterfaceList> Output(New<TInterfaceList>());
  const int Count = List ? List->Count() : 0;
  std::vector<TStacked> Stack;
  Stack.reserve(static_cast<std::size_t>(Count));
  auto OutputTop = [&] {
    Output->Add(Stack.back().Item);
    Stack.pop_back();
  };

  for (int I = 0; I < Count; ++I) {
    const IPtr<IInterface> Item = List->Get(I);
    if (IsOpenParen(Item)) {
      Stack.push_back({Item, true});
    } else if (IsCloseParen(Item)) {
      while (!Stack.empty() && !Stack.back().IsOpenParen) OutputTop();
      if (Stack.empty()) throw EAQException(std::string(SUnmatchedCloseParen));
      Stack.pop_back();
    } else if (IsOperand(Item)) {
      Output->Add(Item);
    } else {
      const int Incoming = IncomingPriority(Item);
      while (!Stack.empty() && !Stack.back().IsOpenParen && InStackPriority(Stack.back().Item) <= Incoming)
        OutputTop();
      Stack.push_back({Item, false});
    }
  }
  while (!Stack.empty()) {
    if (Stack.back().IsOpenParen) throw EAQException(std::string(SUnmatchedOpenParen));
    OutputTop();
  }
  return Output;
}

}  // namespace fuzzy
