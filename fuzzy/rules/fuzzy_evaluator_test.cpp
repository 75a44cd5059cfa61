#include "fuzzy/rules/fuzzy_evaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>

#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/testing/random_systems.h"

namespace fuzzy {
namespace {

// Output terms here are zero at both ends, so that the merge walk never needs the crossings of a
// constant continuation that it does not look for (see the next test but one).
TEST(FuzzyEvaluator, ReturnsWhatTheObjectPathReturnsOnRandomSystems) {
  int Cases = 0;
  int Different = 0;
  double LargestMinMax = 0;
  for (unsigned Seed = 1; Seed <= 400; ++Seed) {
    testing::TRandomSystem Random(Seed, false);
    TOwned<TFuzzySystem> System = Random.Make();
    const TFuzzyEvaluator Evaluator = System->Compile();
    TFuzzyWorkspace Workspace(Evaluator);
    std::vector<TFzyFloat> Compiled(System->Outputs().size());
    const bool MinMaxCentroid = System->Logic().InferenceMethod() == fimMinMax &&
                                System->Logic().DefuzzificationMethod() == dmCenterOfGravity;
    for (int Trial = 0; Trial < 10; ++Trial) {
      const std::vector<TFzyFloat> Values = Random.Values(*System);
      const TFuzzyInference Expected = System->Run(Values);
      Evaluator.Evaluate(Values, Compiled, Workspace);
      for (std::size_t I = 0; I < Values.size(); ++I)
        EXPECT_EQ(Workspace.InputClamped(static_cast<int>(I)), Expected.Inputs[I].Clamped());
      for (std::size_t O = 0; O < Compiled.size(); ++O) {
        ++Cases;
        const TFuzzyOutputReport& Output = Expected.Outputs[O];
        ASSERT_EQ(Workspace.OutputFired(static_cast<int>(O)), Output.Fired()) << "seed " << Seed;
        if (!Output.Fired()) {
          EXPECT_TRUE(std::isnan(Compiled[O]));
          continue;
        }
        const TFuzzyVariable& Variable = *System->Outputs()[O];
        const double Difference =
            std::fabs(Compiled[O] - Output.Value) / (Variable.Maximum() - Variable.Minimum());
        if (Difference > 1e-9) ++Different;
        if (MinMaxCentroid) LargestMinMax = std::max(LargestMinMax, Difference);
      }
    }
  }
  // The rest differ where the walk's tolerance made it miss a crossing or merge two breakpoints:
  // slightly under min-max, more under the mean and product unions, whose degrees between the
  // visited places are not straight, and most in a mean of maxima near a flat top.
  std::printf(
      "%d of %d outputs differ by more than 1e-9 of the range; under min-max by centroid at most %.3g\n",
      Different, Cases, LargestMinMax);
  EXPECT_LT(Different, Cases / 20);
  EXPECT_LT(LargestMinMax, 1e-4);
}

// The term cut at Strength (or scaled by it): its points, the crossings of the level added.
TFuzzyPoints Correlated(const TFuzzySet& Term, TFzyFloat Strength, TFuzzyCorrelationMethod Method) {
  TFuzzyPoints Points;
  for (int I = 0; I < Term.Values().Count(); ++I) {
    const TFuzzySetValue& P = *Term.Values().Point(I);
    if (Method == fcmProduct) {
      Points.push_back({P.X(), P.Y() * Strength});
      continue;
    }
    if (I > 0) {
      const TFuzzySetValue& Q = *Term.Values().Point(I - 1);
      if ((Q.Y() - Strength) * (P.Y() - Strength) < 0)
        Points.push_back({Q.X() + (Strength - Q.Y()) / (P.Y() - Q.Y()) * (P.X() - Q.X()), Strength});
    }
    Points.push_back({P.X(), std::min(P.Y(), Strength)});
  }
  return Points;
}

// The exact centroid of max_k C_k(x) over the output's range, where C_k is the k-th fired conclusion
// (its term correlated with its rule's strength), continued at its end degrees: on every piece
// between breakpoints and crossings of any two conclusions the maximum is one straight line,
// integrated exactly.
double EnvelopeCentroid(const TFuzzyExplanation& Explanation, const TFuzzyVariable& Output) {
  const TFuzzyCorrelationMethod Method = Output.Fuzzy()->CorrelationMethod();
  struct TPiece {
    double X1, Y1, X2, Y2;
    double At(double X) const { return X2 == X1 ? Y2 : Y1 + (X - X1) / (X2 - X1) * (Y2 - Y1); }
  };
  const double Low = Output.Minimum(), High = Output.Maximum();
  std::vector<std::vector<TPiece>> Sets;
  std::vector<double> Places{Low, High};
  for (const TFuzzyRuleExplanation& Rule : Explanation.Rules)
    for (const TFuzzyConclusionExplanation& C : Rule.Conclusions) {
      if (!C.Fired || C.Variable != Output.Name()) continue;
      const TFuzzyPoints P = Correlated(*Output.Items().GetItemByName(C.Term), Rule.FiringStrength, Method);
      std::vector<TPiece>& Pieces = Sets.emplace_back();
      Pieces.push_back({Low, P.front().Y, P.front().X, P.front().Y});
      for (std::size_t I = 1; I < P.size(); ++I) Pieces.push_back({P[I - 1].X, P[I - 1].Y, P[I].X, P[I].Y});
      Pieces.push_back({P.back().X, P.back().Y, High, P.back().Y});
      for (const TFuzzyPoint& Point : P) Places.push_back(Point.X);
    }
  // Where two pieces of different sets cross inside both.
  for (std::size_t A = 0; A < Sets.size(); ++A)
    for (std::size_t B = A + 1; B < Sets.size(); ++B)
      for (const TPiece& PA : Sets[A])
        for (const TPiece& PB : Sets[B]) {
          const double L = std::max(PA.X1, PB.X1), R = std::min(PA.X2, PB.X2);
          if (!(L < R)) continue;
          const double D0 = PA.At(L) - PB.At(L), D1 = PA.At(R) - PB.At(R);
          if ((D0 < 0 && D1 > 0) || (D0 > 0 && D1 < 0)) Places.push_back(L + (R - L) * D0 / (D0 - D1));
        }
  std::sort(Places.begin(), Places.end());
  double Area = 0, Moment = 0;
  for (std::size_t I = 1; I < Places.size(); ++I) {
    const double A = std::clamp(Places[I - 1], Low, High), B = std::clamp(Places[I], Low, High);
    if (!(A < B)) continue;
    const double Middle = (A + B) / 2;
    const TPiece* Top = nullptr;
    double TopY = -1;
    for (const std::vector<TPiece>& Pieces : Sets)
      for (const TPiece& P : Pieces)
        if (P.X1 <= Middle && Middle <= P.X2 && P.X1 < P.X2 && P.At(Middle) > TopY) {
          TopY = P.At(Middle);
          Top = &P;
        }
    const double YA = Top->At(A), YB = Top->At(B);
    Area += (YA + YB) / 2 * (B - A);
    Moment += (B - A) / 6 * (A * (2 * YA + YB) + B * (YA + 2 * YB));
  }
  return Moment / Area;
}

TEST(FuzzyEvaluator, FindsTheExactCentroidOfTheMaximaOfTheConclusions) {
  double LargestCompiled = 0, LargestObject = 0;
  int Checked = 0;
  for (unsigned Seed = 1; Seed <= 400; ++Seed) {
    testing::TRandomSystem Random(Seed, true);
    TOwned<TFuzzySystem> System = Random.Make();
    System->Logic().SetInferenceMethod(fimMinMax);
    System->Logic().SetDefuzzificationMethod(dmCenterOfGravity);
    const TFuzzyEvaluator Evaluator = System->Compile();
    TFuzzyWorkspace Workspace(Evaluator);
    std::vector<TFzyFloat> Compiled(System->Outputs().size());
    for (int Trial = 0; Trial < 5; ++Trial) {
      const std::vector<TFzyFloat> Values = Random.Values(*System);
      const TFuzzyExplanation Explanation = System->Explain(Values);
      Evaluator.Evaluate(Values, Compiled, Workspace);
      for (std::size_t O = 0; O < Compiled.size(); ++O) {
        if (!Explanation.Result.Outputs[O].Fired()) continue;
        const TFuzzyVariable& Output = *System->Outputs()[O];
        const double Width = Output.Maximum() - Output.Minimum();
        const double Exact = EnvelopeCentroid(Explanation, Output);
        if (!std::isfinite(Exact)) continue;
        ++Checked;
        LargestCompiled = std::max(LargestCompiled, std::fabs(Compiled[O] - Exact) / Width);
        LargestObject =
            std::max(LargestObject, std::fabs(Explanation.Result.Outputs[O].Value - Exact) / Width);
      }
    }
  }
  std::printf("%d centroids: compiled %.3g, object %.3g\n", Checked, LargestCompiled, LargestObject);
  EXPECT_LT(LargestCompiled, 1e-9);
}

}  // namespace
}  // namespace fuzzy

namespace fuzzy {
namespace {

// x has a term of degree 0.5 and one of degree 1 everywhere; out ranges over [0, 10].
struct TContinuation {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  TFuzzyVariable* X;
  TFuzzyVariable* Out;

  TContinuation() {
    System->Logic().SetAutoTerms(false);
    X = System->Logic().Items().Add("x");
    Points(*X->Items().Add("half"), {{0, 0.5}, {1, 0.5}});
    Points(*X->Items().Add("full"), {{0, 1}, {1, 1}});
    Out = System->Logic().Items().Add("out");
    Out->SetMaximum(10);
    Points(*Out->Items().Add("shoulder"), {{0, 1}, {4, 1}, {6, 0}});
    Out->Items().Add("right")->CreateTriangleFunctionValues(7, 8, 9);
    Out->Items().Add("left")->CreateTriangleFunctionValues(1, 3, 5);
    TFuzzyRuleBlock& Rules = System->AddRuleBlock("rules");
    for (const auto& [Input, Output] : {std::pair{0, 0}, {1, 1}, {1, 2}})
      Rules.Add(TFuzzyAntecedent::Is(*X, *X->Items().Items(Input)), {{Out, Out->Items().Items(Output)}});
  }
  static void Points(TFuzzySet& Set, std::initializer_list<std::pair<TFzyFloat, TFzyFloat>> List) {
    for (const auto& [PX, PY] : List) Set.Values().Add(PX, PY);
  }
};

TEST(FuzzyEvaluator, UnitesAcrossAConstantContinuation) {
  // The shoulder cut at 0.5 and the right triangle make a set that begins at (5, 0.5) after the
  // level-run pass, continuing at 0.5 down to 0. The left triangle rises through that level at 2
  // and falls through it at 4, so the union is 0.5 on [0, 2], the triangle's peak between 2 and 4,
  // 0.5 on [4, 5], then the shoulder's fall and the right triangle: area 17/4, moment 205/12.
  TContinuation Case;
  const TFuzzyEvaluator Evaluator = Case.System->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  TFzyFloat Input = 0.5;
  TFzyFloat Output = 0;
  Evaluator.Evaluate({&Input, 1}, {&Output, 1}, Workspace);
  EXPECT_NEAR(Output, 205.0 / 51, 1e-12);
  // The object path's merge walk finds the crossings with the continuation too.
  EXPECT_NEAR(Case.System->Run(std::vector<TFzyFloat>{0.5}).Output("out"), 205.0 / 51, 1e-12);
}

TEST(FuzzyEvaluator, KeepsWhatWasCompiledWhateverHappensToTheSystem) {
  TContinuation Case;
  const TFuzzyEvaluator Evaluator = Case.System->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  const TFzyFloat Input = 0.5;
  TFzyFloat Before = 0;
  Evaluator.Evaluate({&Input, 1}, {&Before, 1}, Workspace);
  Case.Out->Items().Items(1)->CreateTriangleFunctionValues(0, 1, 2);
  Case.Out->SetThreshold(1);
  Case.System->Logic().SetDefuzzificationMethod(dmMeanOfMaxima);
  Case.System->SetDefaultValue("out", 3);
  Case.System.reset();
  TFzyFloat After = 0;
  Evaluator.Evaluate({&Input, 1}, {&After, 1}, Workspace);
  EXPECT_EQ(After, Before);
  EXPECT_EQ(Evaluator.InputName(0), "x");
  EXPECT_EQ(Evaluator.OutputIndex("out"), 0);
}

TEST(FuzzyEvaluator, ThreadsShareOneEvaluator) {
  testing::TRandomSystem Random(7, true);
  TOwned<TFuzzySystem> System = Random.Make();
  const TFuzzyEvaluator Evaluator = System->Compile();
  const std::size_t Inputs = static_cast<std::size_t>(Evaluator.InputCount());
  const std::size_t Outputs = static_cast<std::size_t>(Evaluator.OutputCount());
  constexpr std::size_t Rows = 2003;  // a prime: every thread's stride visits every row
  std::vector<TFzyFloat> Values;
  for (std::size_t Row = 0; Row < Rows; ++Row)
    for (TFzyFloat V : Random.Values(*System)) Values.push_back(V);
  std::vector<TFzyFloat> Expected(Rows * Outputs);
  TFuzzyWorkspace Alone(Evaluator);
  Evaluator.EvaluateBatch(Values, Expected, Alone);

  constexpr std::size_t Threads = 4;
  std::vector<std::vector<TFzyFloat>> Results(Threads, std::vector<TFzyFloat>(Rows * Outputs));
  std::vector<std::thread> Workers;
  for (std::size_t T = 0; T < Threads; ++T)
    Workers.emplace_back([&, T] {
      TFuzzyWorkspace Workspace(Evaluator);
      // Each thread runs the rows in its own order, one by one.
      for (std::size_t K = 0; K < Rows; ++K) {
        const std::size_t Row = (K * (2 * T + 1)) % Rows;
        Evaluator.Evaluate({Values.data() + Row * Inputs, Inputs},
                           {Results[T].data() + Row * Outputs, Outputs}, Workspace);
      }
    });
  for (std::thread& Worker : Workers) Worker.join();
  for (std::size_t T = 0; T < Threads; ++T)
    for (std::size_t I = 0; I < Expected.size(); ++I)
      if (!(std::isnan(Expected[I]) && std::isnan(Results[T][I]))) {
        ASSERT_EQ(Results[T][I], Expected[I]) << T << " " << I;
      }
}

}  // namespace
}  // namespace fuzzy
