#include "fuzzy/runtime/component.h"

#include <algorithm>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

TComponent::~TComponent() = default;

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(SListIndexError, {Index});
  return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& Siblings = FOwner->FComponents;
  const auto It = std::find(Siblings.begin(), Siblings.end(), this);
  return It == Siblings.end() ? -1 : static_cast<int>(It - Siblings.begin());
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent == this || AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  if (IsDesigning()) AComponent->SetDesigning(true);
  Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, TOperation::opRemove);
  // Wherever the handlers left it in the list, it goes.
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
  AComponent->FOwner = nullptr;
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(TComponentStateItem::csDesigning);
  else
    FComponentState.Exclude(TComponentStateItem::csDesigning);
  if (SetChildren)
    for (TComponent* Child : FComponents) Child->SetDesigning(Value, true);
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  FComponentState.Include(TComponentStateItem::csDestroying);
  for (TComponent* Child : FComponents) Child->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FSubscribers.begin(), FSubscribers.end(), AComponent) != FSubscribers.end()) return;
  FSubscribers.push_back(AComponent);
  AComponent->FSubscriptions.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  Erase(FSubscribers, AComponent);
  Erase(AComponent->FSubscriptions, this);
}

void TComponent::Erase(std::vector<TComponent*>& List, TComponent* AComponent) {
  List.erase(std::remove(List.begin(), List.end(), AComponent), List.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  // A handler may add or remove owned components: walk down from the end and stay in range.
  int I = ComponentCount() - 1;
  while (I >= 0) {
    FComponents[static_cast<std::size_t>(I)]->Notification(AComponent, Operation);
    --I;
    if (I >= ComponentCount()) I = ComponentCount() - 1;
  }
}

void TComponent::RemoveFreeNotifications() {
  // Each partner is unlinked in both directions before it is told, so a handler may do as it likes.
  while (!FSubscribers.empty() || !FSubscriptions.empty()) {
    TComponent* Partner = !FSubscribers.empty() ? FSubscribers.back() : FSubscriptions.back();
    Erase(FSubscribers, Partner);
    Erase(FSubscriptions, Partner);
    Erase(Partner->FSubscribers, this);
    Erase(Partner->FSubscriptions, this);
    Partner->Notification(this, TOperation::opRemove);
  }
}

HRESULT TComponent::QueryInterface(const TGUID& IID, void** Obj) {
  void* Found = nullptr;
  if (GetInterface(IID, &Found) && Found) {
    *Obj = Found;
    return S_OK;
  }
  *Obj = nullptr;
  return E_NOINTERFACE;
}

bool TComponent::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IInterface::IID) {
    *Obj = static_cast<IInterface*>(this);
    return true;
  }
  return false;
}

void TComponent::AfterConstruction() {
  TPersistent::AfterConstruction();
  TComponent* Owner = FJoinOwner;
  FJoinOwner = nullptr;
  if (Owner) Owner->InsertComponent(this);
}

void TComponent::BeforeDestruction() {
  Destroying();
  RemoveFreeNotifications();
  while (!FComponents.empty()) {
    TComponent* Child = FComponents.back();
    RemoveComponent(Child);
    Child->Free();
  }
  if (FOwner) FOwner->RemoveComponent(this);
  // Partners that registered while the steps above ran are told as well.
  RemoveFreeNotifications();
  TPersistent::BeforeDestruction();
}

}  // namespace fuzzy
