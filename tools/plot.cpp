#include "tools/plot.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "fuzzy/runtime/encoding.h"
#include "fuzzy/runtime/format.h"
#include "tools/svg_writer.h"

namespace fuzzy::cli {

namespace {

// The layout, in pixels.
constexpr double Width = 760;
constexpr double PlotLeft = 64;
constexpr double PlotWidth = 440;
constexpr double LegendLeft = PlotLeft + PlotWidth + 24;
constexpr double HeadingHeight = 40;
constexpr double PlotHeight = 170;
constexpr double AxisHeight = 56;  // tick labels and the axis title under the plot area
constexpr double LegendRow = 17;
constexpr std::size_t LegendColumns = 30;  // characters on one line of the legend
constexpr std::size_t LegendLines = 4;     // lines of the legend for one computed set
constexpr std::size_t CommentColumns = 56;
constexpr double FontSize = 12;

// Tableau's ten colours, one per term in turn; computed sets are drawn dark and shaded.
constexpr std::string_view Palette[] = {"#4e79a7", "#f28e2b", "#e15759", "#76b7b2", "#59a14f",
                                        "#edc948", "#b07aa1", "#ff9da7", "#9c755f", "#bab0ac"};
constexpr std::string_view ResultColour = "#222222";
constexpr std::string_view ResultDashes[] = {"none", "7 4", "2 3"};

using TPoint = std::pair<double, double>;

std::size_t CharacterCount(std::string_view Text) {
  std::size_t Count = 0;
  for (std::size_t Pos = 0; Pos < Text.size(); ++Count) DecodeUTF8(Text, Pos);
  return Count;
}

// The first Count characters of Text (whole UTF-8 sequences).
std::string_view Prefix(std::string_view Text, std::size_t Count) {
  std::size_t Pos = 0;
  for (std::size_t I = 0; I < Count && Pos < Text.size(); ++I) DecodeUTF8(Text, Pos);
  return Text.substr(0, Pos);
}

// Text cut to Columns characters, with an ellipsis when it was longer.
std::string Shortened(std::string_view Text, std::size_t Columns) {
  if (CharacterCount(Text) <= Columns) return std::string(Text);
  return Concat({Prefix(Text, Columns - 1), "\u2026"});
}

// Text broken into lines of at most Columns characters, at spaces where it can be; at most Lines
// lines, the last one ending in an ellipsis when text was left over.
std::vector<std::string> Wrapped(std::string_view Text, std::size_t Columns, std::size_t Lines) {
  std::vector<std::string> Result;
  while (!Text.empty() && Result.size() < Lines) {
    std::string_view Line = Prefix(Text, Columns);
    if (Line.size() < Text.size()) {
      if (const std::size_t Space = Line.rfind(' '); Space != std::string_view::npos && Space > 0)
        Line = Line.substr(0, Space);
    }
    Result.emplace_back(Line);
    Text.remove_prefix(Line.size());
    while (!Text.empty() && Text.front() == ' ') Text.remove_prefix(1);
  }
  if (!Text.empty()) Result.back() = Shortened(Result.back() + " " + std::string(Text), Columns);
  return Result;
}

std::string Number(long double Value, int Decimals) {
  if (Decimals > 6 || std::fabs(Value) >= 1e7L) return Format("%g", {static_cast<double>(Value)});
  return FloatToStrF(static_cast<double>(Value), Decimals);
}

struct TTick {
  long double Value;
  std::string Label;
};

// Round values from Minimum to Maximum (above it), 1, 2 or 5 times a power of ten apart, about six
// of them.
std::vector<TTick> Ticks(long double Minimum, long double Maximum) {
  const long double Rough = (Maximum - Minimum) / 5;
  const long double Magnitude = std::pow(10.0L, std::floor(std::log10(Rough)));
  long double Step = 10 * Magnitude;
  for (const long double Factor : {1.0L, 2.0L, 5.0L})
    if (Factor * Magnitude >= Rough) {
      Step = Factor * Magnitude;
      break;
    }
  const int Decimals = std::max(0, -static_cast<int>(std::floor(std::log10(Step))));
  std::vector<TTick> Result;
  for (long double K = std::ceil(Minimum / Step); K * Step <= Maximum && Result.size() < 12; K += 1)
    Result.push_back({K * Step, Number(K * Step, Decimals)});
  return Result;
}

// A set's degree over the whole range: its points, continued level to the range's ends.
std::vector<TPoint> Outline(const TFuzzySet& Set, TFzyFloat Minimum, TFzyFloat Maximum) {
  const TFuzzySetValues& Values = Set.Values();
  const int Count = Values.Count();
  if (Count == 0) return {{Minimum, 0}, {Maximum, 0}};
  std::vector<TPoint> Result;
  Result.reserve(static_cast<std::size_t>(Count) + 2);
  const TFuzzySetValue& First = *Values.Items(0);
  const TFuzzySetValue& Last = *Values.Items(Count - 1);
  if (First.X() > Minimum) Result.emplace_back(Minimum, First.Y());
  for (const TFuzzySetValue* Point : Values) Result.emplace_back(Point->X(), Point->Y());
  if (Last.X() < Maximum) Result.emplace_back(Maximum, Last.Y());
  return Result;
}

// Places a variable's range and the degrees 0..1 on a panel's plot area.
class TAxes {
 public:
  // A range of one value is shown from 1 below it to 1 above it.
  TAxes(const TFuzzyVariable& Variable, double Top)
      : FMinimum(Variable.Minimum()), FMaximum(Variable.Maximum()), FTop(Top) {
    if (FMaximum > FMinimum) return;
    FMinimum -= 1;
    FMaximum += 1;
  }

  // The X range shown.
  TFzyFloat Minimum() const { return FMinimum; }
  TFzyFloat Maximum() const { return FMaximum; }
  // Computed in long double, in which no difference of two doubles overflows.
  double X(long double Value) const {
    return PlotLeft + static_cast<double>((Value - FMinimum) / (FMaximum - FMinimum)) * PlotWidth;
  }
  double Y(double Degree) const { return FTop + (1 - Degree) * PlotHeight; }
  double Top() const { return FTop; }
  double Bottom() const { return FTop + PlotHeight; }

  std::string PathData(const std::vector<TPoint>& Points) const {
    std::string Data;
    for (const auto& [PointX, PointY] : Points)
      Data +=
          Concat({Data.empty() ? "M" : " L", TSvgValue(X(PointX)).Text(), " ", TSvgValue(Y(PointY)).Text()});
    return Data;
  }

 private:
  TFzyFloat FMinimum;
  TFzyFloat FMaximum;
  double FTop;
};

// One entry of a panel's legend: a term's name, or the lines of a computed set's description.
struct TLegendEntry {
  std::vector<std::string> Lines;
  bool Result = false;
  std::size_t Index = 0;  // in the terms or in the results
};

std::vector<TLegendEntry> Legend(const std::vector<const TFuzzySet*>& Terms,
                                 const std::vector<TPlotResult>& Results) {
  std::vector<TLegendEntry> Entries;
  for (std::size_t I = 0; I < Terms.size(); ++I)
    Entries.push_back({{Shortened(Terms[I]->Name(), LegendColumns)}, false, I});
  for (std::size_t I = 0; I < Results.size(); ++I) {
    TLegendEntry Entry{Wrapped(Results[I].Label, LegendColumns, LegendLines), true, I};
    if (!Results[I].Caption.empty()) Entry.Lines.push_back(Results[I].Caption);
    Entries.push_back(std::move(Entry));
  }
  return Entries;
}

std::size_t LegendRows(const std::vector<TLegendEntry>& Entries) {
  std::size_t Rows = 0;
  for (const TLegendEntry& Entry : Entries) Rows += Entry.Lines.size();
  return Rows;
}

double PanelHeight(const std::vector<TLegendEntry>& Entries) {
  return std::max(HeadingHeight + PlotHeight + AxisHeight,
                  HeadingHeight + static_cast<double>(LegendRows(Entries)) * LegendRow + 16);
}

std::vector<const TFuzzySet*> DefinedTerms(const TFuzzyVariable& Variable) {
  std::vector<const TFuzzySet*> Terms;
  for (const TFuzzySet* Set : Variable.Items())
    if (Set->Defined()) Terms.push_back(Set);
  return Terms;
}

std::string_view TermColour(std::size_t Index) { return Palette[Index % std::size(Palette)]; }

std::string_view ResultDash(std::size_t Index) { return ResultDashes[Index % std::size(ResultDashes)]; }

void DrawFrame(TSvgWriter& Svg, const TFuzzyVariable& Variable, const TAxes& Axes,
               const std::string& ClipId) {
  const double Top = Axes.Top();
  const double Bottom = Axes.Bottom();
  Svg.TextElement("text", {{"x", PlotLeft}, {"y", Top - 14}, {"font-size", 15}, {"font-weight", "bold"}},
                  Variable.Name());
  if (!Variable.Comment().empty())
    Svg.TextElement("text",
                    {{"x", PlotLeft + PlotWidth}, {"y", Top - 14}, {"text-anchor", "end"}, {"fill", "#666"}},
                    Shortened(Variable.Comment(), CommentColumns));
  Svg.Element("rect", {{"class", "plot-area"},
                       {"x", PlotLeft},
                       {"y", Top},
                       {"width", PlotWidth},
                       {"height", PlotHeight},
                       {"fill", "#fafafa"},
                       {"stroke", "#999"}});
  std::string Grid;
  for (const double Degree : {0.25, 0.5, 0.75})
    Grid += Concat({Grid.empty() ? "" : " ", "M", TSvgValue(PlotLeft).Text(), " ",
                    TSvgValue(Axes.Y(Degree)).Text(), " H", TSvgValue(PlotLeft + PlotWidth).Text()});
  for (const TTick& Tick : Ticks(Axes.Minimum(), Axes.Maximum())) {
    const double X = Axes.X(Tick.Value);
    Grid += Concat({" M", TSvgValue(X).Text(), " ", TSvgValue(Top).Text(), " V", TSvgValue(Bottom).Text()});
    Svg.TextElement("text", {{"x", X}, {"y", Bottom + 16}, {"text-anchor", "middle"}}, Tick.Label);
  }
  Svg.Element("path", {{"class", "grid"}, {"d", Grid}, {"stroke", "#e2e2e2"}, {"fill", "none"}});
  for (const double Degree : {0.0, 0.25, 0.5, 0.75, 1.0})
    Svg.TextElement("text", {{"x", PlotLeft - 6}, {"y", Axes.Y(Degree) + 4}, {"text-anchor", "end"}},
                    Number(Degree, 2));
  const std::string Title =
      Variable.Units().empty() ? Variable.Name() : Concat({Variable.Name(), " (", Variable.Units(), ")"});
  Svg.TextElement("text", {{"x", PlotLeft + PlotWidth / 2}, {"y", Bottom + 36}, {"text-anchor", "middle"}},
                  Title);
  const double Middle = (Top + Bottom) / 2;
  Svg.TextElement("text",
                  {{"x", 20},
                   {"y", Middle},
                   {"text-anchor", "middle"},
                   {"transform", Concat({"rotate(-90 20 ", TSvgValue(Middle).Text(), ")"})}},
                  "degree");
  // Lines at degree 0 and 1 are drawn whole; above 1 or outside the range they are cut off.
  Svg.Open("clipPath", {{"id", ClipId}});
  Svg.Element("rect", {{"x", PlotLeft}, {"y", Top - 3}, {"width", PlotWidth}, {"height", PlotHeight + 6}});
  Svg.Close();
}

void DrawSets(TSvgWriter& Svg, const TAxes& Axes, const std::vector<const TFuzzySet*>& Terms,
              const std::vector<TPlotResult>& Results, const std::string& ClipId) {
  const TFzyFloat Minimum = Axes.Minimum();
  const TFzyFloat Maximum = Axes.Maximum();
  Svg.Open("g", {{"clip-path", Concat({"url(#", ClipId, ")"})},
                 {"fill", "none"},
                 {"stroke-width", 2},
                 {"stroke-linejoin", "round"}});
  for (std::size_t I = 0; I < Terms.size(); ++I) {
    Svg.Open("path", {{"class", "term"},
                      {"d", Axes.PathData(Outline(*Terms[I], Minimum, Maximum))},
                      {"stroke", TermColour(I)}});
    Svg.TextElement("title", {}, Terms[I]->Name());
    Svg.Close();
  }
  for (std::size_t I = 0; I < Results.size(); ++I) {
    const std::vector<TPoint> Points = Outline(*Results[I].Set, Minimum, Maximum);
    std::vector<TPoint> Area = Points;
    Area.insert(Area.begin(), {Points.front().first, 0});
    Area.emplace_back(Points.back().first, 0);
    Svg.Element("path", {{"class", "result-area"},
                         {"d", Axes.PathData(Area) + " Z"},
                         {"fill", ResultColour},
                         {"fill-opacity", "0.12"},
                         {"stroke", "none"}});
    Svg.Open("path", {{"class", "result"},
                      {"d", Axes.PathData(Points)},
                      {"stroke", ResultColour},
                      {"stroke-width", "2.5"},
                      {"stroke-dasharray", ResultDash(I)}});
    Svg.TextElement("title", {}, Results[I].Label);
    Svg.Close();
    if (std::isnan(Results[I].Mark)) continue;
    const double X = Axes.X(Results[I].Mark);
    Svg.Element("path", {{"class", "centre-of-gravity"},
                         {"d", Concat({"M", TSvgValue(X).Text(), " ", TSvgValue(Axes.Top()).Text(), " V",
                                       TSvgValue(Axes.Bottom()).Text()})},
                         {"stroke", ResultColour},
                         {"stroke-width", 1},
                         {"stroke-dasharray", "3 3"}});
  }
  Svg.Close();
}

void DrawLegend(TSvgWriter& Svg, double Top, const std::vector<TLegendEntry>& Entries) {
  double Y = Top + 12;
  for (const TLegendEntry& Entry : Entries) {
    const double Sample = Y - 4;
    if (Entry.Result) {
      Svg.Element("rect", {{"x", LegendLeft},
                           {"y", Sample - 6},
                           {"width", 22},
                           {"height", 12},
                           {"fill", ResultColour},
                           {"fill-opacity", "0.12"}});
      Svg.Element("line", {{"x1", LegendLeft},
                           {"y1", Sample - 6},
                           {"x2", LegendLeft + 22},
                           {"y2", Sample - 6},
                           {"stroke", ResultColour},
                           {"stroke-width", "2.5"},
                           {"stroke-dasharray", ResultDash(Entry.Index)}});
    } else {
      Svg.Element("line", {{"x1", LegendLeft},
                           {"y1", Sample},
                           {"x2", LegendLeft + 22},
                           {"y2", Sample},
                           {"stroke", TermColour(Entry.Index)},
                           {"stroke-width", 2}});
    }
    for (std::size_t Line = 0; Line < Entry.Lines.size(); ++Line) {
      const bool Note = Entry.Result && Line + 1 == Entry.Lines.size();
      Svg.TextElement("text", {{"x", LegendLeft + 30}, {"y", Y}, {"fill", Note ? "#666" : "#000"}},
                      Entry.Lines[Line]);
      Y += LegendRow;
    }
  }
}

}  // namespace

TPlotResult ExpressionResult(std::string Label, const TFuzzySet& Set) {
  const TFzyFloat Centre = Set.CenterOfGravity();
  return {std::move(Label), &Set, "centre of gravity " + FloatToStrF(Centre, 4), Centre};
}

std::string PlotSvg(std::span<const TPlotPanel> Panels) {
  std::vector<std::vector<TLegendEntry>> Legends;
  double Height = 0;
  for (const TPlotPanel& Panel : Panels) {
    Legends.push_back(Legend(DefinedTerms(*Panel.Variable), Panel.Results));
    Height += PanelHeight(Legends.back());
  }
  TSvgWriter Svg(Width, Height);
  Svg.Element("rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#fff"}});
  Svg.Open("g", {{"font-family", "DejaVu Sans, Verdana, sans-serif"}, {"font-size", FontSize}});
  double Top = 0;
  for (std::size_t I = 0; I < Panels.size(); ++I) {
    const TFuzzyVariable& Variable = *Panels[I].Variable;
    const TAxes Axes(Variable, Top + HeadingHeight);
    const std::string ClipId = "plot-area-" + IntToStr(static_cast<int>(I) + 1);
    Svg.Open("g", {{"class", "panel"}});
    Svg.TextElement("title", {}, Variable.Name());
    DrawFrame(Svg, Variable, Axes, ClipId);
    DrawSets(Svg, Axes, DefinedTerms(Variable), Panels[I].Results, ClipId);
    DrawLegend(Svg, Axes.Top(), Legends[I]);
    Svg.Close();
    Top += PanelHeight(Legends[I]);
  }
  return Svg.Finish();
}

}  // namespace fuzzy::cli
