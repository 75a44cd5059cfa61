// Cuts, defuzzification, inference and correlation of a fuzzy set.

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/internal/merge_walk.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

TFzyFloat ClampDegree(TFzyFloat Value) { return std::clamp(Value, TFzyFloat{0}, TFzyFloat{1}); }

using internal::TPointAppender;
using internal::TPointBatch;

void AppendCopy(TPointAppender& Cut, const TFuzzySetValue* Point) { Cut.AppendCopy(Point->X(), Point->Y()); }

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
      TPointBatch::Append(Cut, 0, 0);
      return;
    }
    auto Inside = [&](const TFuzzySetValue* P) { return StrongCutoff ? P->Y() > C : P->Y() >= C; };
    TPointAppender Appender(Cut);
    const TFuzzySetValue* Previous = FValues->Point(0);
    // Outside the cut the degree is 0: the cut opens at the first point's X.
    if (Inside(Previous))
      AppendCopy(Appender, Previous);
    else
      Appender.AppendCopy(Previous->X(), 0);
    for (int I = 1; I < FValues->Count(); ++I) {
      const TFuzzySetValue* P = FValues->Point(I);
      const bool WasInside = Inside(Previous);
      if (WasInside != Inside(P)) {
        const TFzyFloat X = InterpolateX(Previous->X(), Previous->Y(), P->X(), P->Y(), C);
        Appender.AppendCopy(X, WasInside ? C : 0);
        Appender.AppendCopy(X, WasInside ? 0 : C);
      }
      if (Inside(P)) AppendCopy(Appender, P);
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
        TPointBatch::Append(Cut, 0, C);
      } else {
        auto Passes = [&](const TFuzzySetValue* P) { return CutValuesBelow ? P->Y() >= C : P->Y() <= C; };
        TPointAppender Appender(Cut);
        const TFuzzySetValue* Previous = FValues->Point(0);
        if (Passes(Previous)) AppendCopy(Appender, Previous);
        for (int I = 1; I < FValues->Count(); ++I) {
          const TFuzzySetValue* P = FValues->Point(I);
          if ((Previous->Y() < C && C < P->Y()) || (Previous->Y() > C && C > P->Y()))
            Appender.AppendCopy(InterpolateX(Previous->X(), Previous->Y(), P->X(), P->Y(), C), C);
          if (Passes(P)) AppendCopy(Appender, P);
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
  if (N == 1 || FloatEquals(First->X(), Last->X())) {
    const TFzyFloat Middle = (XMax - XMin) * 0.5 + XMin;
    return std::isfinite(Middle) ? Middle : XMin * 0.5 + XMax * 0.5;
  }

  // The moment and the area, with every X scaled by SX and every degree by SY when Scaled: the
  // pieces are decided on the coordinates themselves, the arithmetic is done at the scale given.
  struct TSums {
    TFzyFloat Moment, Area;
  };
  auto Centroid = [&]<bool Scaled>(std::bool_constant<Scaled>, TFzyFloat SX, TFzyFloat SY) {
    auto AtX = [SX](TFzyFloat X) { return Scaled ? X * SX : X; };
    auto AtY = [SY](TFzyFloat Y) { return Scaled ? Y * SY : Y; };
    TFzyFloat Moment = 0;
    TFzyFloat Area = 0;
    auto AddPart = [&](TFzyFloat PartArea, TFzyFloat Centre) {
      Area += PartArea;
      Moment += PartArea * Centre;
    };
    const TFzyFloat Min = AtX(XMin);
    const TFzyFloat Max = AtX(XMax);
    if (First->Y() > 0 && !FloatEquals(First->X(), XMin)) {
      const TFzyFloat X = AtX(First->X());
      AddPart(AtY(First->Y()) * (X - Min), (X + Min) * 0.5);
    }
    for (int I = 1; I < N; ++I) {
      const TFuzzySetValue* A = FValues->Point(I - 1);
      const TFuzzySetValue* B = FValues->Point(I);
      if (FloatEquals(A->X(), B->X()) || (FloatEquals(A->Y(), 0) && FloatEquals(B->Y(), 0))) continue;
      const TFzyFloat X = AtX(A->X());
      const TFzyFloat Dx = AtX(B->X()) - X;
      const TFzyFloat Y1 = AtY(A->Y());
      const TFzyFloat Y2 = AtY(B->Y());
      if (FloatEquals(A->Y(), B->Y()))
        AddPart(Dx * Y1, X + Dx / 2);
      else if (FloatEquals(A->Y(), 0))
        AddPart(std::abs(Y2 - Y1) * Dx / 2, X + TWO_THIRDS * Dx);
      else if (FloatEquals(B->Y(), 0))
        AddPart(std::abs(Y2 - Y1) * Dx / 2, X + ONE_THIRD * Dx);
      else
        AddPart(Dx * (Y1 + Y2) / 2, X + TWO_THIRDS * Dx * (Y1 / 2 + Y2) / (Y1 + Y2));
    }
    if (Last->Y() > 0 && !FloatEquals(Last->X(), XMax)) {
      const TFzyFloat X = AtX(Last->X());
      AddPart(AtY(Last->Y()) * (Max - X), (X + Max) * 0.5);
    }
    return TSums{Moment, Area};
  };
  auto [Moment, Area] = Centroid(std::false_type{}, 1, 1);
  // An area past the double range or (nearly) lost below it, or a moment past the range: again,
  // with X and Y scaled by powers of two to at most 1, which changes no bit of a result that
  // neither overflows nor underflows. (All degrees 0 also end here, and give 0 again.)
  const TFzyFloat Size = std::fabs(Area);
  if (!(Size >= 0x1p-900 && Size <= 0x1p1000) || !std::isfinite(Moment)) [[unlikely]] {
    TFzyFloat LargestX = std::max(std::fabs(XMin), std::fabs(XMax));
    TFzyFloat LargestY = 0;
    for (const TFuzzySetValue* P : *FValues) {
      LargestX = std::max(LargestX, std::fabs(P->X()));
      LargestY = std::max(LargestY, std::fabs(P->Y()));
    }
    const TFzyFloat SX = ScaleToUnit(LargestX);
    const TSums Scaled = Centroid(std::true_type{}, SX, ScaleToUnit(LargestY));
    return Scaled.Area == 0 ? 0 : Scaled.Moment / Scaled.Area / SX;
  }
  return Area == 0 ? 0 : Moment / Area;
}

TFzyFloat TFuzzySet::MeanOfMaxima() const {
  const int N = FValues->Count();
  if (N == 0) return 0;
  // The X of the maxima summed at Scale.
  auto Mean = [&](TFzyFloat Scale) {
    TFzyFloat Sum = FValues->Point(0)->X() * Scale;
    TFzyFloat Top = FValues->Point(0)->Y();
    int K = 1;
    for (int I = 1; I < N; ++I) {
      const TFuzzySetValue* P = FValues->Point(I);
      if (Top - FuzzyTolerance < P->Y() && P->Y() < Top + FuzzyTolerance) {
        ++K;
        Sum += P->X() * Scale;
      } else if (P->Y() > Top) {
        Sum = P->X() * Scale;
        Top = P->Y();
        K = 1;
      }
    }
    return Sum / K / Scale;
  };
  const TFzyFloat Result = Mean(1);
  // A sum past the double range: again at a scale (a power of two) that changes no bit of the mean.
  return std::isfinite(Result) ? Result : Mean(0x1p-64);
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
  if (!std::isfinite(CorrelationStrength))
    throw EFzyException(SInvalidPointValue, {"CorrelationStrength", FloatToStrF(CorrelationStrength, 4)});
  switch (CorrelationMethod) {
    case fcmMinimum: {
      // The ceiling alone would move only the breakpoints and pull down degrees between them that
      // lie below the strength; with the crossings of the level added first the result is the
      // minimum of the set and the strength at every X. A vertical edge needs no crossing: its
      // upper end is cut to the level.
      const TFzyFloat C = CorrelationStrength;
      WithinUpdate(*FValues, [&] {
        TRecycledVector<internal::TInsertion> Crossings;
        Crossings.reserve(static_cast<std::size_t>(FValues->Count()));
        for (int I = 1; I < FValues->Count(); ++I) {
          const TFuzzySetValue* A = FValues->Point(I - 1);
          const TFuzzySetValue* B = FValues->Point(I);
          if (A->X() != B->X() && ((A->Y() < C && C < B->Y()) || (A->Y() > C && C > B->Y())))
            Crossings.push_back({I, InterpolateX(A->X(), A->Y(), B->X(), B->Y(), C), C});
        }
        TPointBatch::Insert(*FValues, Crossings);
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
