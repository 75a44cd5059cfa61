#pragma once
// Random rule systems from a seed, for the tests of the compiled evaluator and of the system text:
// inputs with terms of every shape, outputs with triangles and trapezoids (and shoulders up to a
// range bound when asked), rules with random trees of connectives, weights and settings, and input
// values for them.
//
//   testing::TRandomSystem Random(Seed, false);
//   TOwned<TFuzzySystem> System = Random.Make();
//   System->Run(Random.Values(*System));

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fuzzy/rules/fuzzy_system.h"

namespace fuzzy::testing {

class TRandomSystem {
 public:
  // With Shoulders, output terms may also hold a degree above 0 up to a range bound.
  TRandomSystem(unsigned Seed, bool Shoulders) : FRandom(Seed), FShoulders(Shoulders) {}

  TOwned<TFuzzySystem> Make() {
    TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
    TFuzzyLogic& Logic = System->Logic();
    Logic.SetAutoTerms(false);
    Logic.SetCorrelationMethod(Chance(0.5) ? fcmMinimum : fcmProduct);
    Logic.SetInferenceMethod(static_cast<TFuzzyInferenceMethod>(Integer(0, fimBoundedSum)));
    Logic.SetDefuzzificationMethod(Chance(0.7) ? dmCenterOfGravity : dmMeanOfMaxima);
    Logic.SetThreshold(Chance(0.5) ? 0.01 : Uniform(0.01, 0.4));
    std::vector<TFuzzyVariable*> Inputs, Outputs;
    for (int I = Integer(1, 4); I > 0; --I) Inputs.push_back(AddVariable(Logic, Named("in", I), false));
    for (int O = Integer(1, 3); O > 0; --O) Outputs.push_back(AddVariable(Logic, Named("out", O), true));
    for (int B = Integer(1, 2); B > 0; --B) {
      TFuzzyRuleBlock& Block = System->AddRuleBlock(Named("block", B));
      for (int R = Integer(1, 8); R > 0; --R) {
        std::vector<TFuzzyConclusion> Conclusions;
        for (int C = Integer(1, 2); C > 0; --C) {
          TFuzzyVariable* Output = Pick(Outputs);
          Conclusions.push_back({Output, Output->Items().Items(Integer(0, Output->Items().Count() - 1))});
        }
        // Drawn one by one: the order in which a call's arguments are evaluated is the compiler's.
        TFuzzyAntecedent Condition = Antecedent(Inputs, Integer(1, 4));
        const TFzyFloat Weight = Chance(0.7) ? 1 : Uniform(0.2, 1);
        Block.Add(std::move(Condition), std::move(Conclusions), Weight);
      }
    }
    return System;
  }

  // Input values over the range and a little beyond, now and then exactly on a term's breakpoint.
  std::vector<TFzyFloat> Values(const TFuzzySystem& System) {
    std::vector<TFzyFloat> Values;
    for (const TFuzzyVariable* Input : System.Inputs()) {
      const TFzyFloat Width = Input->Maximum() - Input->Minimum();
      const TFuzzySet* Term = Input->Items().Items(Integer(0, Input->Items().Count() - 1));
      Values.push_back(Chance(0.1) ? Term->Values().Point(Integer(0, Term->Values().Count() - 1))->X()
                                   : Uniform(Input->Minimum() - 0.1 * Width, Input->Maximum() + 0.1 * Width));
    }
    return Values;
  }

 private:
  TFuzzyVariable* AddVariable(TFuzzyLogic& Logic, const std::string& Name, bool Output) {
    TFuzzyVariable* Variable = Logic.Items().Add(Name);
    const TFzyFloat Minimum = Uniform(-10, 10);
    Variable->SetMaximum(Minimum + Uniform(1, 50));
    Variable->SetMinimum(Minimum);
    for (int T = Integer(2, 5); T > 0; --T) AddTerm(*Variable, Named("t", T), Output);
    return Variable;
  }

  void AddTerm(TFuzzyVariable& Variable, const std::string& Name, bool Output) {
    const TFzyFloat Low = Variable.Minimum();
    const TFzyFloat High = Variable.Maximum();
    std::vector<TFzyFloat> X(4);
    for (TFzyFloat& V : X) V = Uniform(Low, High);
    std::sort(X.begin(), X.end());
    TFuzzySet* Set = Variable.Items().Add(Name);
    TFuzzySetValues& Points = Set->Values();
    switch (Output ? Integer(0, FShoulders ? 3 : 1) : Integer(0, 4)) {
      case 0:  // a triangle
        Set->CreateTriangleFunctionValues(X[0], X[1], X[3]);
        break;
      case 1:  // a trapezoid
        Points.Add(X[0], 0);
        Points.Add(X[1], 1);
        Points.Add(X[2], 1);
        Points.Add(X[3], 0);
        break;
      case 2:  // a shoulder that reaches the lower bound
        Points.Add(Low, 1);
        Points.Add(X[1], Uniform(0.5, 1));
        Points.Add(X[2], 0);
        break;
      case 3:  // a shoulder that reaches the upper bound
        Points.Add(X[1], 0);
        Points.Add(X[2], 1);
        Points.Add(High, 1);
        break;
      default:  // a step inside the range, constant beyond its ends
        Points.Add(X[0], 0.2);
        Points.Add(X[1], 0.2);
        Points.Add(X[1], 0.9);
        Points.Add(X[3], 0.5);
    }
  }

  TFuzzyAntecedent Antecedent(const std::vector<TFuzzyVariable*>& Inputs, int Clauses) {
    if (Clauses == 1) {
      TFuzzyVariable* Input = Pick(Inputs);
      return TFuzzyAntecedent::Is(*Input, *Input->Items().Items(Integer(0, Input->Items().Count() - 1)));
    }
    const int Left = Integer(1, Clauses - 1);
    TFuzzyConnective Connective{Chance(0.5), static_cast<TFuzzyOperation>(Integer(0, foSum))};
    if (!Connective.IsUnion && Connective.Operation == foSum) Connective.Operation = foZadeh;
    if (Chance(0.5)) Connective.Operation = foZadeh;
    TFuzzyAntecedent First = Antecedent(Inputs, Left);
    return TFuzzyAntecedent::Combine(std::move(First), Connective, Antecedent(Inputs, Clauses - Left));
  }

  static std::string Named(std::string Prefix, int Number) { return Prefix.append(std::to_string(Number)); }
  bool Chance(double P) { return Uniform(0, 1) < P; }
  double Uniform(double Low, double High) { return Low + (High - Low) * (FRandom() / 4294967296.0); }
  int Integer(int Low, int High) {
    return Low + static_cast<int>(FRandom() % static_cast<unsigned>(High - Low + 1));
  }
  template <typename T>
  T* Pick(const std::vector<T*>& List) {
    return List[static_cast<std::size_t>(Integer(0, static_cast<int>(List.size()) - 1))];
  }

  std::mt19937 FRandom;
  bool FShoulders;
};

}  // namespace fuzzy::testing
