// The tipping problem: a table of tips for a grid of service and food ratings, and a picture of the
// tip terms with the accumulated conclusion for one pair of ratings.

#include <cstdio>
#include <string>
#include <vector>

#include "examples/tipping.h"

using namespace fuzzy;

namespace {

constexpr int Columns = 61;  // tip 0..30 in steps of 0.5
constexpr int Rows = 10;

// Draws each set's membership over the tip range with its own mark; later sets draw over earlier.
void Picture(const std::vector<std::pair<const TFuzzySet*, char>>& Sets) {
  std::vector<std::string> Canvas(Rows, std::string(Columns, ' '));
  for (const auto& [Set, Mark] : Sets)
    for (int C = 0; C < Columns; ++C) {
      const int Height = static_cast<int>(Set->DegreeOfMembership(C * 0.5) * Rows + 0.5);
      for (int R = 0; R < Height && R < Rows; ++R) Canvas[Rows - 1 - R][C] = Mark;
    }
  for (int R = 0; R < Rows; ++R)
    std::printf("%s |%s\n", Format("%3.1f", {1.0 - R / double(Rows)}).c_str(), Canvas[R].c_str());
  std::printf("    +%s\n     0    5    10   15   20   25   30  tip\n", std::string(Columns, '-').c_str());
}

}  // namespace

int main() {
  examples::TTipper Tipper;
  const double Ratings[] = {0, 2.5, 5, 7.5, 10};
  std::printf("tip (%%) by service (rows) and food (columns)\n service |");
  for (double Food : Ratings) std::printf("%s", Format(" %8.1f", {Food}).c_str());
  std::printf("\n---------+---------------------------------------------\n");
  for (double Service : Ratings) {
    std::string Line = Format("%8.1f |", {Service});
    for (double Food : Ratings) Line += Format(" %8.4f", {Tipper.Tip(Service, Food)});
    std::printf("%s\n", Line.c_str());
  }

  const double Service = 3;
  const double Food = 8;
  TFuzzySet* Accumulated = Tipper.Infer(Service, Food);
  const TFuzzySets& Terms = Tipper.TipVariable().Items();
  std::printf("\nservice %s, food %s: tip %s %%\n", Format("%.1f", {Service}).c_str(),
              Format("%.1f", {Food}).c_str(), Format("%.4f", {Accumulated->Defuzzify()}).c_str());
  std::printf("terms c = cheap, a = average, g = generous; # = accumulated conclusion\n");
  Picture({{Accumulated, '#'}});
  std::printf("\n");
  Picture({{Terms.GetItemByName("cheap"), 'c'},
           {Terms.GetItemByName("average"), 'a'},
           {Terms.GetItemByName("generous"), 'g'}});
  Accumulated->Free();
  return 0;
}
