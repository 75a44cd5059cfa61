#include "fuzzy/runtime/interface.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

class IFoo : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{6F1C39A0-3B52-4C1E-9A7D-1F2E3D4C5B6A}");
  virtual int Foo() = 0;

 protected:
  ~IFoo() = default;
};

// A parent interface and its child, as ICloneable is the parent of the model's interfaces.
class IBase : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{0A1B2C3D-4E5F-4061-8273-8495A6B7C8D9}");
  virtual int Base() = 0;

 protected:
  ~IBase() = default;
};

class IChild : public virtual IBase {
 public:
  static constexpr TGUID IID = TGUID::FromString("{1A1B2C3D-4E5F-4061-8273-8495A6B7C8D9}");
  virtual int Child() = 0;

 protected:
  ~IChild() = default;
};

class IUnsupported : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{FFFFFFFF-0000-0000-0000-000000000001}");

 protected:
  ~IUnsupported() = default;
};

TLiveCounter Counter;

class TCounted : public TInterfacedObject, public IFoo, public IChild {
 public:
  TCounted() : FToken(Counter) {}
  std::string ClassName() const override { return "TCounted"; }
  int Foo() override { return 1; }
  int Base() override { return 2; }
  int Child() override { return 3; }

 protected:
  bool GetInterface(const TGUID& IID, void** Obj) override {
    if (IID == IFoo::IID) {
      *Obj = static_cast<IFoo*>(this);
      return true;
    }
    if (IID == IBase::IID) {
      *Obj = static_cast<IBase*>(this);
      return true;
    }
    if (IID == IChild::IID) {
      *Obj = static_cast<IChild*>(this);
      return true;
    }
    return TInterfacedObject::GetInterface(IID, Obj);
  }

 private:
  TLiveToken FToken;
};

class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { LiveBefore = Counter.Live(); }
  void TearDown() override { EXPECT_EQ(Counter.Live(), LiveBefore) << "objects leaked"; }
  int Live() const { return Counter.Live() - LiveBefore; }
  int LiveBefore = 0;
};

TEST_F(InterfaceTest, GuidsParseAndPrint) {
  constexpr TGUID G = TGUID::FromString("{6f1c39a0-3b52-4c1e-9a7d-1f2e3d4c5b6a}");
  static_assert(G == IFoo::IID);
  static_assert(!(IFoo::IID == IInterface::IID));
  EXPECT_EQ(IFoo::IID.ToString(), "{6F1C39A0-3B52-4C1E-9A7D-1F2E3D4C5B6A}");
  EXPECT_EQ(IInterface::IID.ToString(), "{00000000-0000-0000-C000-000000000046}");
}

TEST_F(InterfaceTest, ANewObjectStartsUncountedAndDiesWithItsLastReference) {
  TCounted* Object = New<TCounted>();
  EXPECT_EQ(Object->RefCount(), 0);
  {
    IPtr<IFoo> A(Object);
    EXPECT_EQ(Object->RefCount(), 1);
    IPtr<IFoo> B = A;
    EXPECT_EQ(Object->RefCount(), 2);
    EXPECT_EQ(A, B);
    A.Reset();
    EXPECT_EQ(A, nullptr);
    EXPECT_EQ(Object->RefCount(), 1);
    EXPECT_EQ(Live(), 1);
    EXPECT_EQ(B->Foo(), 1);
  }
  EXPECT_EQ(Live(), 0);
}

TEST_F(InterfaceTest, CopyMoveAndAssignKeepTheCountExact) {
  TCounted* Object = New<TCounted>();
  IPtr<IFoo> A(Object);
  IPtr<IFoo> Moved(std::move(A));
  EXPECT_FALSE(A);
  EXPECT_EQ(Object->RefCount(), 1);

  IPtr<IFoo> Copy;
  Copy = Moved;
  EXPECT_EQ(Object->RefCount(), 2);
  const IPtr<IFoo>& Same = Copy;
  Copy = Same;  // self-assignment
  EXPECT_EQ(Object->RefCount(), 2);
  Copy = std::move(Moved);
  EXPECT_EQ(Object->RefCount(), 1);
  EXPECT_FALSE(Moved);

  IPtr<IInterface> Base = Copy;  // conversion to a parent interface
  EXPECT_EQ(Object->RefCount(), 2);
  Copy = nullptr;
  EXPECT_EQ(Live(), 1);
  Base = nullptr;
  EXPECT_EQ(Live(), 0);
}

TEST_F(InterfaceTest, ReleaseReportsTheRemainingCount) {
  TCounted* Object = New<TCounted>();
  IFoo* Foo = Object;
  EXPECT_EQ(Foo->_AddRef(), 1);
  EXPECT_EQ(Foo->_AddRef(), 2);
  EXPECT_EQ(Foo->_Release(), 1);
  EXPECT_EQ(Live(), 1);
  EXPECT_EQ(Foo->_Release(), 0);
  EXPECT_EQ(Live(), 0);
}

TEST_F(InterfaceTest, SupportsAsksQueryInterface) {
  IPtr<IFoo> Foo(New<TCounted>());
  IPtr<IChild> Child;
  ASSERT_TRUE(Supports<IChild>(Foo, Child));
  EXPECT_EQ(Child->Child(), 3);
  EXPECT_EQ(Child->Base(), 2);
  IPtr<IBase> Base;
  ASSERT_TRUE(Supports<IBase>(Child, Base));
  EXPECT_EQ(Base->Base(), 2);
  EXPECT_EQ(static_cast<TCounted*>(Foo.Get())->RefCount(), 3);

  IPtr<IUnsupported> None;
  EXPECT_FALSE(Supports<IUnsupported>(Foo, None));
  EXPECT_FALSE(None);
  EXPECT_FALSE(Supports<IUnsupported>(Foo.Get()));
  EXPECT_TRUE(Supports<IInterface>(Foo.Get()));
  EXPECT_FALSE(Supports<IFoo>(static_cast<TCounted*>(nullptr)));
  EXPECT_TRUE(QueryIntf<IChild>(Foo));
  EXPECT_FALSE(QueryIntf<IUnsupported>(Foo));

  void* Raw = reinterpret_cast<void*>(1);
  EXPECT_EQ(Foo->QueryInterface(IUnsupported::IID, &Raw), E_NOINTERFACE);
  EXPECT_EQ(Raw, nullptr);
  EXPECT_EQ(static_cast<TCounted*>(Foo.Get())->RefCount(), 3) << "failed queries take no reference";
}

TEST_F(InterfaceTest, SupportsIntoTheOnlyReferenceOfTheObjectAskedKeepsItAlive) {
  IPtr<IInterface> Only(static_cast<IFoo*>(New<TCounted>()));
  // The object asked is held by nothing but the result variable itself.
  ASSERT_TRUE(Supports<IInterface>(Only.Get(), Only));
  EXPECT_EQ(Live(), 1);
  IPtr<IFoo> Foo;
  ASSERT_TRUE(Supports<IFoo>(Only, Foo));
  Only.Reset();
  ASSERT_TRUE(Supports<IFoo>(Foo, Foo));
  EXPECT_EQ(Foo->Foo(), 1);
  Foo.Reset();
  EXPECT_EQ(Live(), 0);
}

// An object that hands itself to counted references while it is being created.
std::vector<IPtr<IFoo>> Registry;

class TSelfRegistering : public TCounted {
 public:
  explicit TSelfRegistering(bool Keep, bool Fail = false) : FKeep(Keep), FFail(Fail) {}
  void AfterConstruction() override {
    TCounted::AfterConstruction();
    {
      IPtr<IFoo> Temporary(this);  // taken and dropped: must not free the half-made object
      SeenCount = RefCount();
    }
    if (FKeep) Registry.push_back(IPtr<IFoo>(this));
    if (FFail) throw std::runtime_error("creation failed");
  }
  int SeenCount = 0;

 private:
  bool FKeep;
  bool FFail;
};

TEST_F(InterfaceTest, TheCountIsHeldWhileTheObjectIsCreated) {
  TSelfRegistering* Dropped = New<TSelfRegistering>(false);
  EXPECT_EQ(Live(), 1) << "a reference taken and dropped during creation does not free the object";
  EXPECT_EQ(Dropped->SeenCount, 2);
  EXPECT_EQ(Dropped->RefCount(), 0);
  IPtr<IFoo>(Dropped).Reset();
  EXPECT_EQ(Live(), 0);

  TSelfRegistering* Kept = New<TSelfRegistering>(true);
  EXPECT_EQ(Kept->RefCount(), 1) << "the registry's reference is the only one left";
  EXPECT_EQ(Live(), 1);
  Registry.clear();
  EXPECT_EQ(Live(), 0);
}

TEST_F(InterfaceTest, AFailedCreationFreesTheObjectOnce) {
  EXPECT_THROW(New<TSelfRegistering>(false, true), std::runtime_error);
  EXPECT_EQ(Live(), 0);
}

// An object that hands itself out again while it is being destroyed, as an object that fires an
// event with itself as the sender does.
class TSelfReferencingOnDestroy : public TCounted {
 public:
  void BeforeDestruction() override {
    {
      IPtr<IFoo> Self(this);
      IPtr<IFoo> Again = Self;
    }
    TCounted::BeforeDestruction();
  }
};

TEST_F(InterfaceTest, ReferencesTakenDuringDestructionDoNotFreeTheObjectAgain) {
  IPtr<IFoo> Only(New<TSelfReferencingOnDestroy>());
  Only.Reset();
  EXPECT_EQ(Live(), 0);
  EXPECT_EQ(Counter.Created() - Counter.Destroyed(), Counter.Live());
}

}  // namespace
}  // namespace fuzzy
