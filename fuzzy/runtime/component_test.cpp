#include "fuzzy/runtime/component.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

using TComponentStateItem::csDesigning;
using TComponentStateItem::csDestroying;
using TComponentStateItem::csLoading;
using TOperation::opInsert;
using TOperation::opRemove;

TLiveCounter Counter;
std::vector<std::string> Journal;

// Writes every notification it receives into the journal as "<receiver>: insert|remove <name>".
class TTestComponent : public TComponent {
 public:
  explicit TTestComponent(TComponent* AOwner, std::string Name = {}) : TComponent(AOwner), FToken(Counter) {
    SetName(Name);
  }
  std::string ClassName() const override { return "TTestComponent"; }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    Journal.push_back(Name() + ": " + (Operation == opInsert ? "insert " : "remove ") +
                      (AComponent ? AComponent->Name() : std::string("nil")));
    TComponent::Notification(AComponent, Operation);
  }
  void BeforeDestruction() override {
    Journal.push_back(Name() + ": destroying " + (IsDestroying() ? "yes" : "no"));
    TComponent::BeforeDestruction();
  }

 private:
  TLiveToken FToken;
};

// Holds a link to another component and forgets it when that component goes, as a logic
// component and its parser do.
class TLinked : public TTestComponent {
 public:
  using TTestComponent::TTestComponent;
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* Value) {
    if (Value == FLink) return;
    if (FLink) FLink->RemoveFreeNotification(this);
    FLink = Value;
    if (FLink) FLink->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TTestComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLink) SetLink(nullptr);
  }

 protected:
  void BeforeDestruction() override {
    SetLink(nullptr);
    TTestComponent::BeforeDestruction();
  }

 private:
  TComponent* FLink = nullptr;
};

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Journal.clear();
    LiveBefore = Counter.Live();
  }
  void TearDown() override { EXPECT_EQ(Counter.Live(), LiveBefore) << "components leaked"; }
  int Live() const { return Counter.Live() - LiveBefore; }
  int LiveBefore = 0;
};

using Lines = std::vector<std::string>;

TEST_F(ComponentTest, TheOwnerKnowsItsComponentsAndIsToldOfEachInsertion) {
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  auto* A = New<TTestComponent>(Owner, "a");
  auto* B = New<TTestComponent>(Owner, "b");
  EXPECT_EQ(A->Owner(), Owner);
  EXPECT_EQ(Owner->Owner(), nullptr);
  ASSERT_EQ(Owner->ComponentCount(), 2);
  EXPECT_EQ(Owner->Components(0), A);
  EXPECT_EQ(Owner->Components(1), B);
  EXPECT_EQ(B->ComponentIndex(), 1);
  EXPECT_EQ(Owner->ComponentIndex(), -1);
  // The owner passes every notification on to what it owns, so A hears of B.
  EXPECT_EQ(Journal,
            (Lines{"owner: insert a", "a: insert a", "owner: insert b", "b: insert b", "a: insert b"}));
  try {
    Owner->Components(2);
    FAIL() << "no exception";
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (2)");
  }
  Owner->Free();
  EXPECT_EQ(Live(), 0);
}

TEST_F(ComponentTest, FreeOfTheOwnerFreesItsComponentsLastFirstWithDestroyingSetFirst) {
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  New<TTestComponent>(Owner, "a");
  auto* B = New<TTestComponent>(Owner, "b");
  New<TTestComponent>(B, "b1");
  EXPECT_EQ(Live(), 4);
  Journal.clear();
  Owner->Free();
  EXPECT_EQ(Live(), 0);
  // "yes" for every owned component: the owner marked them all before freeing any.
  EXPECT_EQ(Journal, (Lines{"owner: destroying no",  //
                            "owner: remove b",       // b taken out of the owner, then freed
                            "b: remove b", "b1: remove b", "a: remove b",
                            "b: destroying yes",  //
                            "b: remove b1", "b1: remove b1",
                            "b1: destroying yes",  //
                            "owner: remove a", "a: remove a", "a: destroying yes"}));
}

TEST_F(ComponentTest, FreeOfAnOwnedComponentTellsTheOwner) {
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  auto* A = New<TTestComponent>(Owner, "a");
  New<TTestComponent>(Owner, "b");
  Journal.clear();
  A->Free();
  EXPECT_EQ(Journal, (Lines{"a: destroying no", "owner: remove a", "b: remove a", "a: remove a"}));
  ASSERT_EQ(Owner->ComponentCount(), 1);
  EXPECT_EQ(Owner->Components(0)->Name(), "b");
  Owner->Free();
}

TEST_F(ComponentTest, RemoveAndInsertComponentMoveOwnershipWithoutFreeing) {
  auto* First = New<TTestComponent>(nullptr, "first");
  auto* Second = New<TTestComponent>(nullptr, "second");
  auto* A = New<TTestComponent>(First, "a");
  Journal.clear();
  Second->InsertComponent(A);
  EXPECT_EQ(Journal, (Lines{"first: remove a", "a: remove a", "second: insert a", "a: insert a"}));
  EXPECT_EQ(A->Owner(), Second);
  EXPECT_EQ(First->ComponentCount(), 0);
  EXPECT_EQ(Second->ComponentCount(), 1);

  Journal.clear();
  Second->RemoveComponent(A);
  EXPECT_EQ(Journal, (Lines{"second: remove a", "a: remove a"}));
  EXPECT_EQ(A->Owner(), nullptr);
  EXPECT_EQ(Live(), 3);
  Second->RemoveComponent(A);  // not owned: nothing
  First->Free();
  Second->Free();
  EXPECT_EQ(Live(), 1);
  A->Free();
}

TEST_F(ComponentTest, FreeNotificationWorksBothWaysWhateverTheOrder) {
  for (const bool LogicFirst : {true, false}) {
    auto* Logic = New<TLinked>(nullptr, "logic");
    auto* Parser = New<TLinked>(nullptr, "parser");
    Logic->SetLink(Parser);
    Parser->SetLink(Logic);
    Journal.clear();
    if (LogicFirst) {
      Logic->Free();
      EXPECT_EQ(Parser->Link(), nullptr);
      EXPECT_EQ(Journal, (Lines{"logic: destroying no", "parser: remove logic"}));
      Parser->Free();
    } else {
      Parser->Free();
      EXPECT_EQ(Logic->Link(), nullptr);
      EXPECT_EQ(Journal, (Lines{"parser: destroying no", "logic: remove parser"}));
      Logic->Free();
    }
    EXPECT_EQ(Live(), 0);
  }
}

TEST_F(ComponentTest, AOneSidedRegistrationStillLeavesNoDanglingPointer) {
  // Only the parser asks to be told; the logic component must still forget the parser when the
  // parser goes first, or it would later notify freed memory.
  auto* Logic = New<TTestComponent>(nullptr, "logic");
  auto* Parser = New<TTestComponent>(nullptr, "parser");
  Logic->FreeNotification(Parser);
  Journal.clear();
  Parser->Free();
  EXPECT_EQ(Journal, (Lines{"parser: destroying no", "logic: remove parser"}));
  Journal.clear();
  Logic->Free();
  EXPECT_EQ(Journal, (Lines{"logic: destroying no"}));
}

TEST_F(ComponentTest, RemoveFreeNotificationEndsTheLink) {
  auto* A = New<TTestComponent>(nullptr, "a");
  auto* B = New<TTestComponent>(nullptr, "b");
  A->FreeNotification(B);
  A->FreeNotification(B);  // registered once
  A->RemoveFreeNotification(B);
  Journal.clear();
  A->Free();
  EXPECT_EQ(Journal, (Lines{"a: destroying no"}));
  B->Free();
}

TEST_F(ComponentTest, RemoveFreeNotificationWithdrawsOnlyItsOwnRequest) {
  auto* A = New<TTestComponent>(nullptr, "a");
  auto* B = New<TTestComponent>(nullptr, "b");
  A->FreeNotification(B);  // b hears of a's end
  B->FreeNotification(A);  // a hears of b's end
  A->RemoveFreeNotification(B);
  Journal.clear();
  A->Free();
  EXPECT_EQ(Journal, (Lines{"a: destroying no", "b: remove a"})) << "b's own request keeps the link";
  Journal.clear();
  B->Free();
  EXPECT_EQ(Journal, (Lines{"b: destroying no"}));
}

TEST_F(ComponentTest, LeavingAnOwnerKeepsFreeNotificationLinks) {
  auto* Form = New<TTestComponent>(nullptr, "form");
  auto* Logic = New<TLinked>(Form, "logic");
  auto* Parser = New<TLinked>(Form, "parser");
  Parser->SetLink(Logic);
  Form->RemoveComponent(Parser);  // the parser hears "remove parser", and stays linked
  EXPECT_EQ(Parser->Link(), Logic);
  Form->Free();
  EXPECT_EQ(Parser->Link(), nullptr);
  Parser->Free();
}

TEST_F(ComponentTest, SiblingsLinkedByFreeNotificationDieWithTheirOwner) {
  auto* Form = New<TTestComponent>(nullptr, "form");
  auto* Logic = New<TLinked>(Form, "logic");
  auto* Parser = New<TLinked>(Form, "parser");
  Logic->SetLink(Parser);
  Parser->SetLink(Logic);
  Form->Free();
  EXPECT_EQ(Live(), 0);
}

TEST_F(ComponentTest, APartnerThatRegistersWhileTheComponentIsDestroyedIsToldToo) {
  struct TLateRegistering : TTestComponent {
    using TTestComponent::TTestComponent;
    TComponent* Late = nullptr;
    void Notification(TComponent* AComponent, TOperation Operation) override {
      TTestComponent::Notification(AComponent, Operation);
      // Registers a third component with the owner that is being destroyed.
      if (Operation == opRemove && Late && Owner() && Owner()->IsDestroying()) {
        Owner()->FreeNotification(Late);
        Late = nullptr;
      }
    }
  };
  auto* Outsider = New<TLinked>(nullptr, "outsider");
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  auto* Child = New<TLateRegistering>(Owner, "child");
  Child->Late = Outsider;
  Journal.clear();
  Owner->Free();
  EXPECT_NE(std::find(Journal.begin(), Journal.end(), "outsider: remove owner"), Journal.end());
  Journal.clear();
  Outsider->Free();  // must not touch the freed owner
  EXPECT_EQ(Journal, (Lines{"outsider: destroying no"}));
}

TEST_F(ComponentTest, NameAndTag) {
  auto* C = New<TTestComponent>(nullptr);
  EXPECT_EQ(C->Name(), "");
  EXPECT_EQ(C->Tag(), 0);
  C->SetName("FuzzyLogic1");
  C->SetTag(-42);
  EXPECT_EQ(C->Name(), "FuzzyLogic1");
  EXPECT_EQ(C->Tag(), -42);
  C->Free();
}

TEST_F(ComponentTest, LoadingState) {
  struct TLoading : TTestComponent {
    using TTestComponent::TTestComponent;
    bool LoadingSeenInLoaded = true;
    void Loaded() override {
      TTestComponent::Loaded();
      LoadingSeenInLoaded = IsLoading();
      Journal.push_back(Name() + ": loaded");
    }
  };
  auto* C = New<TLoading>(nullptr, "c");
  EXPECT_EQ(C->ComponentState(), TComponentState{});
  C->BeginLoading();
  EXPECT_TRUE(C->IsLoading());
  EXPECT_TRUE(C->ComponentState().Contains(csLoading));
  EXPECT_EQ(C->ComponentState(), TComponentState{csLoading});
  Journal.clear();
  C->Loaded();
  EXPECT_EQ(Journal, (Lines{"c: loaded"}));
  EXPECT_FALSE(C->LoadingSeenInLoaded);
  EXPECT_FALSE(C->IsLoading());
  C->Free();
}

TEST_F(ComponentTest, DesigningReachesOwnedComponents) {
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  auto* A = New<TTestComponent>(Owner, "a");
  Owner->SetDesigning(true);
  EXPECT_TRUE(Owner->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(A->IsDesigning());
  auto* B = New<TTestComponent>(Owner, "b");
  EXPECT_TRUE(B->IsDesigning()) << "a component inserted into a designing owner is designing";
  Owner->SetDesigning(false, false);
  EXPECT_FALSE(Owner->IsDesigning());
  EXPECT_TRUE(A->IsDesigning());
  Owner->SetDesigning(false);
  EXPECT_FALSE(A->IsDesigning());
  EXPECT_FALSE(B->IsDesigning());
  EXPECT_FALSE(Owner->ComponentState().Contains(csDestroying));
  Owner->Free();
}

// Two-phase creation: the owner's insert notification sees the complete derived component.
TEST_F(ComponentTest, TheOwnerIsToldOfTheCompleteComponent) {
  struct TWatcher : TTestComponent {
    using TTestComponent::TTestComponent;
    std::vector<std::string> Classes;
    void Notification(TComponent* AComponent, TOperation Operation) override {
      if (Operation == opInsert) Classes.push_back(AComponent->ClassName());
      TTestComponent::Notification(AComponent, Operation);
    }
  };
  struct TSpecial : TTestComponent {
    using TTestComponent::TTestComponent;
    std::string ClassName() const override { return "TSpecial"; }
  };
  auto* Owner = New<TWatcher>(nullptr, "owner");
  New<TSpecial>(Owner, "special");
  EXPECT_EQ(Owner->Classes, (std::vector<std::string>{"TSpecial"}));
  Owner->Free();
}

TEST_F(ComponentTest, AFailedCreationLeavesTheOwnerAsItWas) {
  struct TFailing : TTestComponent {
    using TTestComponent::TTestComponent;
    void AfterConstruction() override {
      TTestComponent::AfterConstruction();  // joins the owner
      throw std::runtime_error("creation failed");
    }
  };
  auto* Owner = New<TTestComponent>(nullptr, "owner");
  EXPECT_THROW(New<TFailing>(Owner, "failing"), std::runtime_error);
  EXPECT_EQ(Owner->ComponentCount(), 0);
  EXPECT_EQ(Live(), 1);
  Owner->Free();
}

TEST_F(ComponentTest, OwnedByAHostThroughTOwned) {
  {
    TOwned<TTestComponent> Owner = MakeOwned<TTestComponent>(nullptr, "owner");
    New<TTestComponent>(Owner.get(), "a");
    EXPECT_EQ(Live(), 2);
  }
  EXPECT_EQ(Live(), 0);
}

// Interfaces of components are not counted.
class IPing : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{5D6E7F80-9A0B-4C1D-8E2F-3A4B5C6D7E8F}");
  virtual int Ping() = 0;

 protected:
  ~IPing() = default;
};

class IOther : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{5D6E7F80-9A0B-4C1D-8E2F-3A4B5C6D7E90}");

 protected:
  ~IOther() = default;
};

class TPingComponent : public TTestComponent, public IPing {
 public:
  using TTestComponent::TTestComponent;
  int Ping() override { return 7; }

 protected:
  bool GetInterface(const TGUID& IID, void** Obj) override {
    if (IID == IPing::IID) {
      *Obj = static_cast<IPing*>(this);
      return true;
    }
    return TTestComponent::GetInterface(IID, Obj);
  }
};

TEST_F(ComponentTest, InterfacesOfAComponentDoNotCount) {
  auto* C = New<TPingComponent>(nullptr, "c");
  EXPECT_EQ(C->_AddRef(), -1);
  EXPECT_EQ(C->_Release(), -1);
  EXPECT_EQ(C->_Release(), -1);
  {
    IPtr<IPing> Ping(C);
    IPtr<IPing> Copy = Ping;
    EXPECT_EQ(Copy->Ping(), 7);
    IPtr<IInterface> Base;
    EXPECT_TRUE(Supports<IInterface>(Ping, Base));
    IPtr<IPing> Again;
    EXPECT_TRUE(Supports<IPing>(Base, Again));
    EXPECT_EQ(Again.Get(), Ping.Get());
    EXPECT_FALSE(Supports<IOther>(C));
  }
  EXPECT_EQ(Live(), 1) << "dropping the last reference does not free a component";
  C->Free();
}

}  // namespace
}  // namespace fuzzy
