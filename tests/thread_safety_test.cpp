// The thread-safety contract of the sets: const reads of sets that no thread changes may run on
// several threads at once (both models), and objects that share nothing may be used on different
// threads. Every thread checks its answers against those of an identical object built and read on
// the main thread, so that a cache written by a read shows as a wrong answer even without the
// thread sanitizer, which the tsan build adds.

#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "examples/tipping.h"
#include "fuzzy/imodel/ifuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy {
namespace {

constexpr int Threads = 4;
constexpr int Objects = 40;
constexpr int Rounds = 5;

// Everything a const read of the sets answers, as one text, so that two objects can be compared by
// one string.
template <typename TDegree, typename TRest>
std::string Answers(TDegree&& Degree, TRest&& Rest) {
  std::string Text;
  for (double X = -5; X <= 105; X += 0.75) Text += FloatToStrF(Degree(X), 12) + " ";
  return Text + Rest();
}

// For each of several fresh objects of TModel (caches are found by the first reads), runs its Read
// on several threads released at once, a few rounds each, and expects Expected every time.
template <typename TModel>
void ReadConcurrently(const std::string& Expected) {
  for (int Object = 0; Object < Objects; ++Object) {
    const TModel Shared;
    std::latch Start(Threads);
    std::vector<int> Wrong(Threads, 0);
    std::vector<std::thread> Workers;
    for (int T = 0; T < Threads; ++T)
      Workers.emplace_back([&, T] {
        Start.arrive_and_wait();
        for (int Round = 0; Round < Rounds; ++Round)
          if (Shared.Read() != Expected) ++Wrong[static_cast<std::size_t>(T)];
      });
    for (std::thread& Worker : Workers) Worker.join();
    for (int T = 0; T < Threads; ++T) ASSERT_EQ(Wrong[static_cast<std::size_t>(T)], 0) << "object " << Object;
  }
}

// A logic component with a variable holding a long curve, a triangle and their union.
struct TClassModel {
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TFuzzySet* Warm;
  TFuzzySet* Cold;
  TFuzzySet* Either;

  TClassModel() {
    Logic->SetAutoTerms(false);
    TFuzzyVariable* Temperature = Logic->Items().Add("temperature");
    Temperature->SetMaximum(100);
    Warm = Temperature->Items().Add("warm");
    Warm->CreatePIFunctionValues(41, 20, 90, 60);  // long enough to be searched by halves
    Cold = Temperature->Items().Add("cold");
    Cold->CreateTriangleFunctionValues(0, 10, 50);
    Either = Warm->Union(Cold);
  }

  std::string Read() const {
    return Answers([this](double X) { return Warm->DegreeOfMembership(X) + Either->DegreeOfMembership(X); },
                   [this] {
                     return FloatToStrF(Warm->CenterOfGravity(), 12) + FloatToStrF(Either->Defuzzify(), 12) +
                            FloatToStrF(Warm->MeanOfMaxima(), 12) + FloatToStrF(Warm->GetCorrelationStrength(Cold), 12) +
                            (Warm->Equals(Cold) ? "equal" : "unequal") + (Warm->Intersects(Cold) ? "meet" : "apart") +
                            Either->Name() + Either->Expression() + Either->ToString() + Cold->ValuesToString();
                   });
  }
};

// The same shapes in the interface model.
struct TInterfaceModel {
  IPtr<IFuzzyVariable> Temperature = TIFuzzyVariable::Create("temperature");
  IPtr<IFuzzySet> Warm;
  IPtr<IFuzzySet> Cold;
  IPtr<IFuzzySet> Either;

  TInterfaceModel() {
    Temperature->SetMaximum(100);
    Warm = Temperature->Add("warm");
    Warm->CreatePIFunctionValues(41, 20, 90, 60);
    Cold = Temperature->Add("cold");
    Cold->CreateTriangleFunctionValues(0, 10, 50);
    Either = Warm->Union(Cold);
  }

  std::string Read() const {
    return Answers([this](double X) { return Warm->DegreeOfMembership(X) + Either->DegreeOfMembership(X); },
                   [this] {
                     return FloatToStrF(Warm->CenterOfGravity(), 12) + FloatToStrF(Either->Defuzzify(), 12) +
                            FloatToStrF(Warm->GetCorrelationStrength(Cold), 12) + Either->Name() +
                            Either->Expression() + Either->ToString();
                   });
  }
};

TEST(ThreadSafety, ConcurrentReadsOfSharedClassModelSets) {
  ReadConcurrently<TClassModel>(TClassModel().Read());
}

TEST(ThreadSafety, ConcurrentReadsOfSharedInterfaceModelSets) {
  ReadConcurrently<TInterfaceModel>(TInterfaceModel().Read());
}

// Each thread fires rules on its own tippers of both models.
struct TOwnTippers {
  static std::string Tips(auto& Tipper) {
    std::string Text;
    for (double Service = 0; Service <= 10; Service += 2.5)
      for (double Food = 0; Food <= 10; Food += 2.5) Text += FloatToStrF(Tipper.Tip(Service, Food), 12) + " ";
    return Text;
  }
  std::string Read() const {
    examples::TTipper Classes;
    examples::TITipper Interfaces;
    const std::string Text = Tips(Classes);
    return Text == Tips(Interfaces) ? Text : "the models disagree";
  }
};

TEST(ThreadSafety, IndependentObjectsOnDifferentThreads) {
  examples::TTipper Classes;
  ReadConcurrently<TOwnTippers>(TOwnTippers::Tips(Classes));
}

}  // namespace
}  // namespace fuzzy
