#pragma once
// Components: objects with an owner that frees them, a name, a tag, a state and free notification.
//
// Creation: New<T>(Owner) constructs the component, and AfterConstruction inserts it into its owner
// (the owner receives Notification(Component, opInsert)).
// Destruction: Free() runs BeforeDestruction, which, in this order,
//   1. sets csDestroying on the component and on everything it owns (Destroying());
//   2. sends Notification(this, opRemove) to every free notification partner;
//   3. frees the owned components, last first, each taken out of the owner first (the owner
//      receives Notification(Child, opRemove));
//   4. leaves its own owner (which receives Notification(this, opRemove));
//   5. tells the partners that linked up with it while steps 2 to 4 ran.
// A descendant's BeforeDestruction runs its own steps and then calls this one; it may call
// Destroying() first when its steps should already see csDestroying.
//
// Notification: the base implementation passes the notification on to every owned component, so
// siblings learn of each other.
//
// Free notification: A->FreeNotification(B) asks that B be told when A is freed, and links the two
// both ways: whichever of them is freed first tells the other with Notification(freed, opRemove)
// (once, however the link was made), and neither keeps a pointer to the freed one.
// A->RemoveFreeNotification(B) withdraws only that request; a link that B->FreeNotification(A) made
// stays. So a component that stops listening to a partner (a logic component dropping its parser
// while it is destroyed) does not stop the partner from hearing of its own end.
//
// Components take part in interfaces without reference counting: _AddRef and _Release return -1
// and never free; descendants add interfaces by overriding GetInterface.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzzy/runtime/enum_set.h"
#include "fuzzy/runtime/interface.h"
#include "fuzzy/runtime/object.h"

namespace fuzzy {

enum class TOperation : std::uint8_t { opInsert, opRemove };

enum class TComponentStateItem : std::uint8_t { csLoading, csDesigning, csDestroying };

using TComponentState = TEnumSet<TComponentStateItem>;

class TComponent : public TPersistent, public virtual IInterface {
 public:
  std::string ClassName() const override { return "TComponent"; }

  explicit TComponent(TComponent* AOwner) : FJoinOwner(AOwner) {}

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError "List index out of bounds (i)" for a bad index.
  TComponent* Components(int Index) const;
  // Position among the owner's components, -1 without an owner.
  int ComponentIndex() const;
  // Takes ownership of AComponent (taking it from its former owner); the owner receives
  // Notification(AComponent, opInsert). A designing owner makes AComponent designing.
  void InsertComponent(TComponent* AComponent);
  // Gives up ownership of AComponent, which stays alive; the owner receives
  // Notification(AComponent, opRemove) first.
  void RemoveComponent(TComponent* AComponent);

  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& Value) { FName = Value; }
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState.Contains(TComponentStateItem::csLoading); }
  bool IsDesigning() const { return FComponentState.Contains(TComponentStateItem::csDesigning); }
  bool IsDestroying() const { return FComponentState.Contains(TComponentStateItem::csDestroying); }
  // Sets csLoading; a host that restores the component's properties calls it first and Loaded()
  // when they are all in place.
  void BeginLoading() { FComponentState.Include(TComponentStateItem::csLoading); }
  // Ends the loading state. Descendants that finish their setup here call this first.
  virtual void Loaded() { FComponentState.Exclude(TComponentStateItem::csLoading); }
  // Sets or clears csDesigning, on the owned components too when SetChildren is true.
  void SetDesigning(bool Value, bool SetChildren = true);
  // Sets csDestroying on this component and everything it owns (nothing when it is set already).
  void Destroying();

  // AComponent will receive Notification(this, opRemove) when this component is freed, and this
  // component will receive Notification(AComponent, opRemove) when AComponent is freed.
  void FreeNotification(TComponent* AComponent);
  // Withdraws what FreeNotification(AComponent) asked.
  void RemoveFreeNotification(TComponent* AComponent);

  // Reports that AComponent is inserted into or removed from an owner (this one or one above it),
  // or is being freed (opRemove, to free notification partners).
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  ~TComponent() override;
  // Stores in Obj the interface pointer for IID (without counting) and returns true, or false.
  virtual bool GetInterface(const TGUID& IID, void** Obj);
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  void RemoveFreeNotifications();
  static void Erase(std::vector<TComponent*>& List, TComponent* AComponent);

  TComponent* FOwner = nullptr;
  TComponent* FJoinOwner;
  std::vector<TComponent*> FComponents;
  // Told when this component is freed (asked with this->FreeNotification).
  std::vector<TComponent*> FSubscribers;
  // Will tell this component when they are freed (they were asked with FreeNotification(this)).
  std::vector<TComponent*> FSubscriptions;
  std::string FName;
  std::intptr_t FTag = 0;
  TComponentState FComponentState;
};

}  // namespace fuzzy
