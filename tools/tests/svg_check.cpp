// Checks a picture that `fuzzy plot` drew of a definition file:
//   svg_check DEFINITIONS PICTURE ["VARIABLE is EXPRESSION"]...
// The picture must be well-formed XML (read by the small reader below) with an svg root and a view
// box. Each panel (<g class="panel">, titled with a variable's name) must draw every defined term
// of its variable, in order, as one <path class="term"> titled with the term's name, and the set of
// each expression given as a <path class="result">. Each such line must run over the variable's
// whole range, pass through every point of its set and lie on the set's membership function.
// Prints one line per panel; exits 1 with the first fault found.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/runtime/encoding.h"

namespace {

using namespace fuzzy;

struct TNode {
  std::string Name;
  std::map<std::string, std::string> Attributes;
  std::vector<TNode> Children;
  std::string Text;

  std::string Attribute(const std::string& Key) const {
    const auto Found = Attributes.find(Key);
    return Found == Attributes.end() ? "" : Found->second;
  }
  // The text of the first <title> child.
  std::string Title() const {
    for (const TNode& Child : Children)
      if (Child.Name == "title") return Child.Text;
    return "";
  }
};

// A strict reader of the XML that SVG files use: a declaration, comments, elements, attributes in
// quotes, character data and the five named and the numeric character references.
class TXmlReader {
 public:
  explicit TXmlReader(std::string Text) : FText(std::move(Text)) {}

  TNode Document() {
    CheckCharacters();
    if (FText.compare(0, 5, "<?xml") == 0) Skip("?>");
    SkipMisc();
    TNode Root = Element();
    SkipMisc();
    if (FPos != FText.size()) Fail("content after the root element");
    return Root;
  }

 private:
  [[noreturn]] void Fail(const std::string& Message) const {
    throw std::runtime_error("XML at byte " + std::to_string(FPos) + ": " + Message);
  }
  bool At(std::string_view S) const { return FText.compare(FPos, S.size(), S) == 0; }
  void Expect(std::string_view S) {
    if (!At(S)) Fail("expected \"" + std::string(S) + "\"");
    FPos += S.size();
  }
  void Skip(std::string_view End) {
    const std::size_t Found = FText.find(End, FPos);
    if (Found == std::string::npos) Fail("unterminated construct");
    FPos = Found + End.size();
  }
  void SkipSpace() {
    while (FPos < FText.size() && std::string_view(" \t\r\n").find(FText[FPos]) != std::string_view::npos)
      ++FPos;
  }
  void SkipMisc() {
    for (SkipSpace(); At("<!--"); SkipSpace()) Skip("-->");
  }
  // Every character is one XML allows: valid UTF-8, no control characters but tab and line breaks.
  void CheckCharacters() {
    for (std::size_t Pos = 0; Pos < FText.size();) {
      const std::size_t Start = Pos;
      const char32_t Code = DecodeUTF8(FText, Pos);
      const bool Malformed = Code == ReplacementCharacter && FText.compare(Start, 3, "\xEF\xBF\xBD") != 0;
      if (Malformed || (Code < 0x20 && Code != '\t' && Code != '\n' && Code != '\r') || Code == 0xFFFE ||
          Code == 0xFFFF) {
        FPos = Start;
        Fail("a character XML cannot hold");
      }
    }
  }
  std::string Name() {
    const std::size_t Start = FPos;
    const auto NameChar = [](char C, bool First) {
      return std::isalpha(static_cast<unsigned char>(C)) || C == '_' || C == ':' ||
             (!First && (std::isdigit(static_cast<unsigned char>(C)) || C == '-' || C == '.'));
    };
    while (FPos < FText.size() && NameChar(FText[FPos], FPos == Start)) ++FPos;
    if (FPos == Start) Fail("expected a name");
    return FText.substr(Start, FPos - Start);
  }
  // Character data up to Stop, with references resolved; a raw "<" or "&" is a fault.
  std::string CharacterData(char Stop) {
    std::string Result;
    while (FPos < FText.size() && FText[FPos] != Stop) {
      const char C = FText[FPos];
      if (C == '<') Fail("\"<\" in character data");
      if (C != '&') {
        Result += C;
        ++FPos;
        continue;
      }
      const std::size_t End = FText.find(';', FPos);
      if (End == std::string::npos) Fail("unterminated reference");
      const std::string Reference = FText.substr(FPos + 1, End - FPos - 1);
      static const std::map<std::string, char> Named = {
          {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      if (const auto Found = Named.find(Reference); Found != Named.end())
        Result += Found->second;
      else if (Reference.size() > 1 && Reference[0] == '#')
        AppendUTF8(Result,
                   static_cast<char32_t>(Reference[1] == 'x' ? std::stoul(Reference.substr(2), nullptr, 16)
                                                             : std::stoul(Reference.substr(1))));
      else
        Fail("unknown reference &" + Reference + ";");
      FPos = End + 1;
    }
    return Result;
  }
  TNode Element() {
    Expect("<");
    TNode Node;
    Node.Name = Name();
    for (;;) {
      const std::size_t Before = FPos;
      SkipSpace();
      if (At("/>")) {
        FPos += 2;
        return Node;
      }
      if (At(">")) break;
      if (FPos == Before) Fail("expected a space before an attribute");
      const std::string Key = Name();
      SkipSpace();
      Expect("=");
      SkipSpace();
      const char Quote = FPos < FText.size() ? FText[FPos] : '\0';
      if (Quote != '"' && Quote != '\'') Fail("attribute value not in quotes");
      ++FPos;
      std::string Value = CharacterData(Quote);
      Expect(std::string(1, Quote));
      if (!Node.Attributes.emplace(Key, std::move(Value)).second) Fail("attribute " + Key + " given twice");
    }
    Expect(">");
    for (;;) {
      Node.Text += CharacterData('<');
      if (At("</")) break;
      if (At("<!--"))
        Skip("-->");
      else
        Node.Children.push_back(Element());
    }
    Expect("</");
    if (Name() != Node.Name) Fail("</" + Node.Name + "> expected");
    SkipSpace();
    Expect(">");
    return Node;
  }

  std::string FText;
  std::size_t FPos = 0;
};

// Name as a picture can show it: control characters, which XML cannot hold, as U+FFFD.
std::string Shown(const std::string& Name) {
  std::string Result;
  for (const char C : Name)
    if (static_cast<unsigned char>(C) < 0x20 && C != '\t' && C != '\n' && C != '\r')
      AppendUTF8(Result, ReplacementCharacter);
    else
      Result += C;
  return Result;
}

void Require(bool Condition, const std::string& Message) {
  if (!Condition) throw std::runtime_error(Message);
}

std::string ReadFile(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary);
  Require(File.good(), "cannot read " + Path);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

void Collect(const TNode& Node, const std::string& Class, std::vector<const TNode*>& Found) {
  if (Node.Attribute("class") == Class) Found.push_back(&Node);
  for (const TNode& Child : Node.Children) Collect(Child, Class, Found);
}

std::vector<const TNode*> All(const TNode& Node, const std::string& Class) {
  std::vector<const TNode*> Found;
  Collect(Node, Class, Found);
  return Found;
}

// The vertices of path data made of M and L commands.
std::vector<std::pair<double, double>> Vertices(const std::string& Data) {
  std::vector<std::pair<double, double>> Result;
  std::istringstream Stream(Data);
  Stream.imbue(std::locale::classic());
  char Command;
  double X, Y;
  while (Stream >> Command) {
    Require(Command == (Result.empty() ? 'M' : 'L'), "path data \"" + Data + "\" is not one line");
    Require(static_cast<bool>(Stream >> X >> Y), "path data \"" + Data + "\" has a bad number");
    Result.emplace_back(X, Y);
  }
  return Result;
}

// The line of Path, mapped back from the plot area onto the variable's range and the degrees,
// runs over the whole range, holds every point of Set and lies on Set's membership function.
void CheckLine(const TNode& Path, const TNode& Area, const TFuzzyVariable& Variable, const TFuzzySet& Set) {
  const std::string What = Variable.Name() + " line \"" + Path.Title() + "\"";
  const double Left = std::stod(Area.Attribute("x")), Top = std::stod(Area.Attribute("y"));
  const double Width = std::stod(Area.Attribute("width")), Height = std::stod(Area.Attribute("height"));
  const double Minimum = Variable.Minimum(), Span = Variable.Maximum() - Variable.Minimum();
  const double XTolerance = 0.011 * Span / Width, YTolerance = 0.011 / Height;
  std::vector<std::pair<double, double>> Line;
  for (const auto& [PX, PY] : Vertices(Path.Attribute("d")))
    Line.emplace_back(Minimum + (PX - Left) / Width * Span, 1 - (PY - Top) / Height);
  Require(Line.size() >= 2, What + " has fewer than two vertices");
  Require(std::fabs(Line.front().first - Minimum) <= XTolerance &&
              std::fabs(Line.back().first - Variable.Maximum()) <= XTolerance,
          What + " does not span the range");
  const auto Near = [&](double X1, double Y1, double X2, double Y2) {
    return std::fabs(X1 - X2) <= XTolerance && std::fabs(Y1 - Y2) <= YTolerance;
  };
  for (const TFuzzySetValue* Point : Set.Values()) {
    bool Found = false;
    for (const auto& [X, Y] : Line) Found = Found || Near(X, Y, Point->X(), Point->Y());
    Require(Found, What + " misses the point (" + std::to_string(Point->X()) + ", " +
                       std::to_string(Point->Y()) + ")");
  }
  for (std::size_t I = 0; I < Line.size(); ++I) {
    const auto [X, Y] = Line[I];
    Require(I == 0 || X >= Line[I - 1].first - XTolerance, What + " goes back along the X axis");
    bool OnPoint = false;
    for (const TFuzzySetValue* Point : Set.Values()) OnPoint = OnPoint || Near(X, Y, Point->X(), Point->Y());
    Require(OnPoint || std::fabs(Set.DegreeOfMembership(X) - Y) <= YTolerance,
            What + " leaves the membership function at x = " + std::to_string(X));
  }
}

int Check(int argc, char** argv) {
  Require(argc >= 3, "usage: svg_check DEFINITIONS PICTURE [\"VARIABLE is EXPRESSION\"]...");
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  Logic->SetAutoTerms(false);
  Parser->SetFuzzyLogic(Logic.get());
  TEncoding* Encoding = nullptr;
  const std::string Bytes = ReadFile(argv[1]);
  const std::size_t Preamble =
      static_cast<std::size_t>(TEncoding::GetBufferEncoding(AsBytes(Bytes), Encoding));
  Parser->Parse(Encoding->GetString(AsBytes(Bytes).subspan(Preamble)), nullptr);
  std::map<const TFuzzyVariable*, std::vector<const TFuzzySet*>> Results;
  for (int I = 3; I < argc; ++I) {
    const std::string Text = argv[I];
    const std::size_t Is = Text.find(" is ");
    Require(Is != std::string::npos, "\"" + Text + "\" is not \"VARIABLE is EXPRESSION\"");
    TFuzzyVariable* Variable = Logic->Items().GetItemByName(Text.substr(0, Is));
    Results[Variable].push_back(Parser->EvalFuzzyExpression(Variable, Text.substr(Is + 4)));
  }

  const TNode Root = TXmlReader(ReadFile(argv[2])).Document();
  Require(Root.Name == "svg" && Root.Attribute("xmlns") == "http://www.w3.org/2000/svg",
          "the root is not svg");
  Require(!Root.Attribute("viewBox").empty(), "the svg has no view box");
  for (const TNode* Panel : All(Root, "panel")) {
    const TFuzzyVariable* Variable = nullptr;
    for (const TFuzzyVariable* Candidate : Logic->Items())
      if (!Variable && Shown(Candidate->Name()) == Panel->Title()) Variable = Candidate;
    Require(Variable != nullptr, "a panel of no variable: " + Panel->Title());
    const std::vector<const TNode*> Areas = All(*Panel, "plot-area");
    Require(Areas.size() == 1, Variable->Name() + " has no one plot area");
    std::vector<const TFuzzySet*> Terms;
    for (const TFuzzySet* Set : Variable->Items())
      if (Set->Defined()) Terms.push_back(Set);
    const std::vector<const TNode*> Lines = All(*Panel, "term");
    Require(Lines.size() == Terms.size(),
            Variable->Name() + " draws " + std::to_string(Lines.size()) + " terms");
    std::string Names;
    for (std::size_t I = 0; I < Terms.size(); ++I) {
      Require(Lines[I]->Title() == Shown(Terms[I]->Name()),
              "term line \"" + Lines[I]->Title() + "\" out of place");
      CheckLine(*Lines[I], *Areas[0], *Variable, *Terms[I]);
      Names += (I ? ", " : "") + Terms[I]->Name();
    }
    const std::vector<const TNode*> ResultLines = All(*Panel, "result");
    const std::vector<const TFuzzySet*>& Expected = Results[Variable];
    Require(ResultLines.size() == Expected.size(),
            Variable->Name() + " draws the wrong number of computed sets");
    for (std::size_t I = 0; I < Expected.size(); ++I)
      CheckLine(*ResultLines[I], *Areas[0], *Variable, *Expected[I]);
    std::printf("%s: %zu terms (%s), %zu computed sets\n", Variable->Name().c_str(), Terms.size(),
                Names.c_str(), Expected.size());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Check(argc, argv);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "svg_check: %s\n", E.what());
    return 1;
  }
}
