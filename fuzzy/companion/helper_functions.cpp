#include "fuzzy/companion/helper_functions.h"

#include <string>
#include <vector>

#include "fuzzy/companion/aq_constants.h"

namespace fuzzy {

IPtr<IInterfaceList> PostFix(const IPtr<IInterfaceList>& List, const TPostFixTest& IsOperand,
                             const TPostFixTest& IsOpenParen, const TPostFixTest& IsCloseParen,
                             const TPostFixPriority& InStackPriority,
                             const TPostFixPriority& IncomingPriority) {
  if (!IsOperand || !IsOpenParen || !IsCloseParen || !InStackPriority || !IncomingPriority)
    throw EAQException(std::string(SPostFixCallbackMissing));
  IPtr<IInterfaceList> Output(New<TInterfaceList>());
  PostFixOrder<IPtr<IInterface>>(
      List ? List->Count() : 0, [&List](int I) { return List->Get(I); }, IsOperand, IsOpenParen, IsCloseParen,
      InStackPriority, IncomingPriority, [&Output](IPtr<IInterface> Item) { Output->Add(Item); });
  return Output;
}

}  // namespace fuzzy
