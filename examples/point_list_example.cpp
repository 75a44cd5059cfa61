// Builds membership functions from point lists and prints them: a triangle, a step written in
// any order, and the triangle resampled to more points.

#include <cstdio>
#include <string>

#include "fuzzy/engine/fuzzy_set_values.h"

using namespace fuzzy;

namespace {

void Print(const char* Name, const TFuzzySetValues& Values) {
  std::string Text;
  for (const TFuzzySetValue* P : Values) Text += Format(" (%.4f, %.4f)", {P->X(), P->Y()});
  TFzyFloat Average = 0, Maximum = 0, Minimum = 0;
  Values.GetStatValues(Average, Maximum, Minimum);
  Text += Format("\n%10s mean %.4f, max %.4f, min %.4f", {"", Average, Maximum, Minimum});
  std::printf("%-10s%s\n", Name, Text.c_str());
}

}  // namespace

int main() {
  TOwned<TFuzzySetValues> Warm = MakeOwned<TFuzzySetValues>(nullptr);
  Warm->Add(15, 0);
  Warm->Add(20, 1);
  Warm->Add(25, 0);
  Print("warm", *Warm);

  // Points may arrive in any order; the list sorts them and merges repeated ones.
  TOwned<TFuzzySetValues> Open = MakeOwned<TFuzzySetValues>(nullptr);
  Open->BeginUpdate();
  Open->Add(30, 1);
  Open->Add(10, 0);
  Open->Add(20, 1);
  Open->Add(20, 0);
  Open->Add(10, 0);
  Open->EndUpdate();
  Print("open", *Open);

  Warm->Expand(7);
  Print("warm x7", *Warm);
  return 0;
}
