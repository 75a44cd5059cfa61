// Cuts, defuzzification, inference and correlation of a fuzzy set.

#include <algorithm>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/merge_walk.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

TFzyFloat ClampDegree(TFzyFloat Value) { return std::clamp(Value, TFzyFloat{0}, TFzyFloat{1}); }

void AppendCopy(TFuzzySetValues& Values, const TFuzzySetValue* Point) { Values.Add()->Assign(Point); }

// Frees a result under construction when filling it fails, so that nothing is lost or leaked.
template <typename TFill>
TFuzzySet* BuildResult(TFuzzySet* Result, TFill&& Fill) {
  try {
    Fill(*Result);
  } catch (...) {
    Result->Free();
    throw;
  }
  return Result;
}

}  // namespace

TFuzzySet* TFuzzySet::AlphaCutoff(TFzyFloat CutOff, bool StrongCutoff) const {
  const TFzyFloat C = ClampDegree(CutOff);
  const bool CopiesAll = C == 0 && StrongCutoff;
  const bool Empties = C == 1 && StrongCutoff;
  if (!CopiesAll && !Empties && FValues->Count() == 0) throw EFzyException(SFuzzySetEmpty, {"Alpha Cutoff"});
  return BuildResult(CreateResult(), [&](TFuzzySet& Result) {
    Result.SetName(FName.Text());
    TFuzzySetValues& Cut = Result.Values();
    TUpdateBracket Bracket(Cut);
    if (CopiesAll) {
      Cut.Assign(FValues);
      return;
    }
    if (Empties) {
      Cut.Add()->SetY(0);
      return;
    }
    auto Inside = [&](const TFuzzySetValue* P) { return StrongCutoff ? P->Y() > C : P->Y() >= C; };
    const TFuzzySetValue* Previous = FValues->Point(0);
    // Outside the cut the degree is 0: the cut opens at the first point's X.
    if (Inside(Previous))
      AppendCopy(Cut, Previous);
    else
      Cut.AppendSetValue(Previous->X(), 0);
    for (int I = 1; I < FValues->Count(); ++I) {
      const TFuzzySetValue* P = FValues->Point(I);
      const bool WasInside = Inside(Previous);
      if (WasInside != Inside(P)) {
        const TFzyFloat X = InterpolateX(Previous->X(), Previous->Y(), P->X(), P->Y(), C);
        Cut.AppendSetValue(X, WasInside ? C : 0);
        Cut.AppendSetValue(X, WasInside ? 0 : C);
      }
      if (Inside(P)) AppendCopy(Cut, P);
      Previous = P;
    }
  });
}

TFuzzySet* TFuzzySet::Cutoff(TFzyFloat CutOff, bool CutValuesBelow) const {
  const TFzyFloat C = ClampDegree(CutOff);
  const bool CopiesAll = CutValuesBelow ? C == 0 : C == 1;
  const bool Levels = CutValuesBelow ? C == 1 : C == 0;
  if (!CopiesAll && !Levels && FValues->Count() == 0) throw EFzyException(SFuzzySetEmpty, {"Cutoff"});
  const std::string_view Keyword =
      CutValuesBelow ? FuzzyUnionKeywords[foZadeh] : FuzzyIntersectionKeywords[foZadeh];
  return BuildResult(CreateResult(), [&](TFuzzySet& Result) {
    Result.SetName(CreateFuzzyName(FName.Text(), Keyword, CutOff));
    TFuzzySetValues& Cut = Result.Values();
    {
      TUpdateBracket Bracket(Cut);
      if (CopiesAll) {
        Cut.Assign(FValues);
      } else if (Levels) {
        Cut.Add()->SetY(C);
      } else {
        auto Passes = [&](const TFuzzySetValue* P) { return CutValuesBelow ? P->Y() >= C : P->Y() <= C; };
        const TFuzzySetValue* Previous = FValues->Point(0);
        if (Passes(Previous)) AppendCopy(Cut, Previous);
        for (int I = 1; I < FValues->Count(); ++I) {
          const TFuzzySetValue* P = FValues->Point(I);
          if ((Previous->Y() < C && C < P->Y()) || (Previous->Y() > C && C > P->Y()))
            Cut.AppendSetValue(InterpolateX(Previous->X(), Previous->Y(), P->X(), P->Y(), C), C);
          if (Passes(P)) AppendCopy(Cut, P);
          Previous = P;
        }
      }
    }
    if (!FExpression.Empty())
      Result.SetExpression(FExpression.Text() + " " + std::string(Keyword) + " " + FloatToStrF(C, 4));
  });
}

TFzyFloat TFuzzySet::CenterOfGravity() const {
  const int N = FValues->Count();
  if (N == 0) return 0;
  const TFzyFloat XMin = XMinimum();
  const TFzyFloat XMax = XMaximum();
  const TFuzzySetValue* First = FValues->Point(0);
  const TFuzzySetValue* Last = FValues->Point(N - 1);
  if (N == 1 || FloatEquals(First->X(), Last->X())) return (XMax - XMin) * 0.5 + XMin;

  TFzyFloat Moment = 0;
  TFzyFloat Area = 0;
  auto AddPart = [&](TFzyFloat PartArea, TFzyFloat Centroid) {
    Area += PartArea;
    Moment += PartArea * Centroid;
  };
  if (First->Y() > 0 && !FloatEquals(First->X(), XMin))
    AddPart(First->Y() * (First->X() - XMin), (First->X() + XMin) * 0.5);
  for (int I = 1; I < N; ++I) {
    const TFuzzySetValue* A = FValues->Point(I - 1);
    const TFuzzySetValue* B = FValues->Point(I);
    const TFzyFloat Dx = B->X() - A->X();
    const TFzyFloat Y1 = A->Y();
    const TFzyFloat Y2 = B->Y();
    if (FloatEquals(A->X(), B->X()) || (FloatEquals(Y1, 0) && FloatEquals(Y2, 0))) continue;
    if (FloatEquals(Y1, Y2))
      AddPart(Dx * Y1, A->X() + Dx / 2);
    else if (FloatEquals(Y1, 0))
      AddPart(std::abs(Y2 - Y1) * Dx / 2, A->X() + TWO_THIRDS * Dx);
    else if (FloatEquals(Y2, 0))
      AddPart(std::abs(Y2 - Y1) * Dx / 2, A->X() + ONE_THIRD * Dx);
    else
      AddPart(Dx * (Y1 + Y2) / 2, A->X() + TWO_THIRDS * Dx * (Y1 / 2 + Y2) / (Y1 + Y2));
  }
  if (Last->Y() > 0 && !FloatEquals(Last->X(), XMax))
    AddPart(Last->Y() * (XMax - Last->X()), (Last->X() + XMax) * 0.5);
  return Area == 0 ? 0 : Moment / Area;
}

TFzyFloat TFuzzySet::MeanOfMaxima() const {
  const int N = FValues->Count();
  if (N == 0) return 0;
  TFzyFloat Sum = FValues->Point(0)->X();
  TFzyFloat Top = FValues->Point(0)->Y();
  int K = 1;
  for (int I = 1; I < N; ++I) {
    const TFuzzySetValue* P = FValues->Point(I);
    if (Top - FuzzyTolerance < P->Y() && P->Y() < Top + FuzzyTolerance) {
      ++K;
      Sum += P->X();
    } else if (P->Y() > Top) {
      Sum = P->X();
      Top = P->Y();
      K = 1;
    }
  }
  return Sum / K;
}

TFzyFloat TFuzzySet::Defuzzify() const {
  const TFuzzyLogicContext* Logic = LogicContext();
  if (Logic && Logic->DefuzzificationMethod() != dmCenterOfGravity) return MeanOfMaxima();
  return CenterOfGravity();
}

bool TFuzzySet::IsUndecidable() const {
  const int N = FValues->Count();
  if (N == 0) return true;
  const TFzyFloat Y0 = FValues->Point(0)->Y();
  if (Y0 != 0 && Y0 != 1) return false;
  for (int I = 1; I < N; ++I)
    if (FValues->Point(I)->Y() != Y0) return false;
  return true;
}

TFuzzyOperation TFuzzySet::InferenceOperation(TFuzzyInferenceMethod InferenceMethod) {
  switch (InferenceMethod) {
    case fimMinMax:
      return foZadeh;
    case fimAdditive:
      return foSum;
    case fimMean:
      return foMean;
    case fimProduct:
      return foProduct;
    case fimBoundedSum:
      return foBoundedSum;
  }
  return foZadeh;
}

TFuzzySet* TFuzzySet::Infer(const TFuzzySet* NewEvidence, TFuzzyInferenceMethod InferenceMethod,
                            bool Unconditional) const {
  const TFuzzyOperation Operation = InferenceOperation(InferenceMethod);
  return Unconditional ? Intersection(NewEvidence, Operation) : Union(NewEvidence, Operation);
}

TFuzzySet* TFuzzySet::Infer(const TFuzzySet* NewEvidence, bool Unconditional) const {
  const TFuzzyLogicContext* Logic = LogicContext();
  return Infer(NewEvidence, Logic ? Logic->InferenceMethod() : fimMinMax, Unconditional);
}

TFuzzySet* TFuzzySet::Correlate(TFzyFloat CorrelationStrength, TFuzzyCorrelationMethod CorrelationMethod) {
  switch (CorrelationMethod) {
    case fcmMinimum: {
      // The ceiling alone would move only the breakpoints and pull down degrees between them that
      // lie below the strength; with the crossings of the level added first the result is the
      // minimum of the set and the strength at every X.
      const TFzyFloat C = CorrelationStrength;
      WithinUpdate(*FValues, [&] {
        TRecycledVector<TFuzzySetValues::TInsertion> Crossings;
        Crossings.reserve(static_cast<std::size_t>(FValues->Count()));
        for (int I = 1; I < FValues->Count(); ++I) {
          const TFuzzySetValue* A = FValues->Point(I - 1);
          const TFuzzySetValue* B = FValues->Point(I);
          if ((A->Y() < C && C < B->Y()) || (A->Y() > C && C > B->Y()))
            Crossings.push_back({I, InterpolateX(A->X(), A->Y(), B->X(), B->Y(), C), C});
        }
        FValues->InsertPoints(Crossings);
      });
    }
      return Hedge(bfhCutGreater, CorrelationStrength, true);
    case fcmProduct:
      return Hedge(bfhMultiply, CorrelationStrength, true);
  }
  return this;
}

TFuzzySet* TFuzzySet::Correlate(TFzyFloat CorrelationStrength) {
  const TFuzzyLogicContext* Logic = LogicContext();
  return Correlate(CorrelationStrength, Logic ? Logic->CorrelationMethod() : fcmMinimum);
}

TFzyFloat TFuzzySet::GetCorrelationStrength(const TFuzzySet* Match) const {
  if (!Match) throw EFzyException(SMissingArgument, {"Iterate", "Fuzzy set"});
  return PointsCorrelationStrength(TPoints(*this), TPoints(*Match));
}

TFzyFloat TFuzzySet::FuzzyEquals(const TFuzzySet* FuzzySet) const { return GetCorrelationStrength(FuzzySet); }

bool TFuzzySet::Equals(const TFuzzySet* FuzzySet) const {
  if (!FuzzySet) throw EFzyException(SMissingArgument, {"Iterate", "Fuzzy set"});
  const TFuzzyVariableContext* Owner = Variable();
  return PointsReachThreshold(TPoints(*this), TPoints(*FuzzySet),
                              Owner ? Owner->Threshold() : FreeStandingThreshold);
}

}  // namespace fuzzy
