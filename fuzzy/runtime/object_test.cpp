#include "fuzzy/runtime/object.h"

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

std::vector<std::string> Events;

class TTracked : public TPersistent {
 public:
  explicit TTracked(TLiveCounter& Counter, bool FailInAfterConstruction = false)
      : FToken(Counter), FFail(FailInAfterConstruction) {
    Events.push_back("constructor");
  }
  std::string ClassName() const override { return "TTracked"; }
  void AfterConstruction() override {
    Events.push_back("after construction: " + Describe());
    if (FFail) throw std::runtime_error("creation failed");
  }
  void ConstructionDone() override { Events.push_back("construction done"); }
  void BeforeDestruction() override { Events.push_back("before destruction: " + Describe()); }
  virtual std::string Describe() const { return "tracked"; }

 protected:
  ~TTracked() override { Events.push_back("destructor"); }

 private:
  TLiveToken FToken;
  bool FFail;
};

class TSpecial : public TTracked {
 public:
  using TTracked::TTracked;
  std::string ClassName() const override { return "TSpecial"; }
  std::string Describe() const override { return "special"; }
};

class ObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { Events.clear(); }
  TLiveCounter Counter;
};

TEST_F(ObjectTest, NewRunsAfterConstructionOnTheCompleteObject) {
  TTracked* Object = New<TSpecial>(Counter);
  EXPECT_EQ(Events,
            (std::vector<std::string>{"constructor", "after construction: special", "construction done"}));
  EXPECT_EQ(Object->ClassName(), "TSpecial");
  EXPECT_EQ(Object->ToString(), "TSpecial");
  Events.clear();
  Object->Free();
  EXPECT_EQ(Events, (std::vector<std::string>{"before destruction: special", "destructor"}));
  EXPECT_EQ(Counter.Live(), 0);
}

TEST_F(ObjectTest, AFailingAfterConstructionFreesTheObjectAndPassesTheExceptionOn) {
  EXPECT_THROW(New<TSpecial>(Counter, true), std::runtime_error);
  EXPECT_EQ(Counter.Created(), 1);
  EXPECT_EQ(Counter.Live(), 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"constructor", "after construction: special",
                                              "before destruction: special", "destructor"}));
}

TEST_F(ObjectTest, OwnedAndAdoptFreeThroughFree) {
  {
    TOwned<TTracked> Owned = MakeOwned<TSpecial>(Counter);
    EXPECT_EQ(Counter.Live(), 1);
    Events.clear();
  }
  EXPECT_EQ(Events, (std::vector<std::string>{"before destruction: special", "destructor"}));
  EXPECT_EQ(Counter.Live(), 0);

  TTracked* Raw = New<TTracked>(Counter);
  {
    auto Adopted = Adopt(Raw);
    EXPECT_EQ(Adopted.get(), Raw);
    Events.clear();
  }
  EXPECT_EQ(Events, (std::vector<std::string>{"before destruction: tracked", "destructor"}));
  EXPECT_EQ(Counter.Live(), 0);

  TOwned<TTracked> Empty = Adopt<TTracked>(nullptr);
  Empty.reset();
  FreeObject(nullptr);  // nothing to free
  EXPECT_EQ(Counter.Live(), 0);
}

class TPoint : public TPersistent {
 public:
  int X = 0;
  std::string ClassName() const override { return "TPoint"; }
  void Assign(const TPersistent* Source) override {
    if (const auto* Point = dynamic_cast<const TPoint*>(Source)) {
      X = Point->X;
      return;
    }
    TPersistent::Assign(Source);
  }
};

// Knows how to copy itself into a TPoint, which does not know it.
class TNumber : public TPersistent {
 public:
  int Value = 0;
  std::string ClassName() const override { return "TNumber"; }

 protected:
  void AssignTo(TPersistent* Dest) const override {
    if (auto* Point = dynamic_cast<TPoint*>(Dest)) {
      Point->X = Value;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

TEST_F(ObjectTest, AssignCopiesOrAsksTheSourceToAssignItself) {
  auto A = MakeOwned<TPoint>();
  auto B = MakeOwned<TPoint>();
  B->X = 3;
  A->Assign(B.get());
  EXPECT_EQ(A->X, 3);

  auto N = MakeOwned<TNumber>();
  N->Value = 9;
  A->Assign(N.get());
  EXPECT_EQ(A->X, 9);
}

TEST_F(ObjectTest, AnUnsupportedAssignRaisesCannotAssign) {
  auto Point = MakeOwned<TPoint>();
  auto Number = MakeOwned<TNumber>();
  try {
    Number->Assign(Point.get());
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Cannot assign a TPoint to a TNumber");
  }
  try {
    Point->Assign(nullptr);
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Cannot assign a nil to a TPoint");
  }
  auto Other = MakeOwned<TNumber>();
  EXPECT_THROW(Other->Assign(Number.get()), EConvertError);
}

TEST_F(ObjectTest, ExceptionsCarryTheirMessage) {
  const EListError E(SListIndexError, {7});
  EXPECT_STREQ(E.what(), "List index out of bounds (7)");
  EXPECT_EQ(E.Message(), "List index out of bounds (7)");
  const Exception* Base = &E;
  EXPECT_NE(dynamic_cast<const std::exception*>(Base), nullptr);
}

TEST_F(ObjectTest, CastToFindsExactAndDerivedClasses) {
  auto Tracked = MakeOwned<TTracked>(Counter);
  auto Special = MakeOwned<TSpecial>(Counter);
  auto Number = MakeOwned<TNumber>();
  const TPersistent* AsTracked = Tracked.get();
  const TPersistent* AsSpecial = Special.get();
  const TPersistent* AsNumber = Number.get();
  EXPECT_EQ(CastTo<TTracked>(AsTracked), Tracked.get());
  EXPECT_EQ(CastTo<TTracked>(AsSpecial), Special.get());
  EXPECT_EQ(CastTo<TSpecial>(AsTracked), nullptr);
  EXPECT_EQ(CastTo<TTracked>(AsNumber), nullptr);
  EXPECT_EQ(CastTo<TTracked>(static_cast<const TPersistent*>(nullptr)), nullptr);
}

}  // namespace
}  // namespace fuzzy
