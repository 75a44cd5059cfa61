#pragma once
// Pictures of linguistic variables as SVG: one panel per variable, its range along the X axis
// (with the units), the degree 0..1 up the Y axis, one coloured line per defined term and a
// legend with the term names. Sets computed from expressions are drawn over their variable's
// terms, shaded, with their centre of gravity marked.
//
// Each line runs over the whole range: a set's degree before its first point and after its last
// is that point's degree. In the document every panel is a <g class="panel"> whose <title> is the
// variable's name; the plot area is its <rect class="plot-area">, and each term (each computed
// set) is one <path class="term"> (<path class="result">) with the set's name (the expression)
// as its <title>.

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "fuzzy/model/fuzzy_variable.h"

namespace fuzzy::cli {

struct TPlotResult {
  std::string Label;  // the expression the set was computed from
  const TFuzzySet* Set = nullptr;
  // The legend's line under the label, and the X marked by a dashed line (NaN for none).
  std::string Caption;
  double Mark = 0;
};

// A computed set as plot shows an expression's: its centre of gravity told and marked.
TPlotResult ExpressionResult(std::string Label, const TFuzzySet& Set);

struct TPlotPanel {
  const TFuzzyVariable* Variable = nullptr;
  std::vector<TPlotResult> Results;
};

// The SVG document of the panels, top to bottom.
std::string PlotSvg(std::span<const TPlotPanel> Panels);

}  // namespace fuzzy::cli
