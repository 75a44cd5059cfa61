#pragma once
// A small writer of SVG documents: elements with attributes, escaped text, numbers written with
// "." whatever the locale. The writer keeps the open elements and closes them in order, so the
// document it gives is well-formed XML.
//
//   TSvgWriter Svg(640, 480);
//   Svg.Element("rect", {{"x", 10}, {"y", 10}, {"width", 100}, {"height", 50}, {"fill", "#eee"}});
//   Svg.TextElement("text", {{"x", 20}, {"y", 40}}, "a < b");
//   std::string Document = Svg.Finish();

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzy::cli {

// An attribute's value: a text, or a number written with at most two decimals.
class TSvgValue {
 public:
  TSvgValue(std::string_view Text) : FText(Text) {}
  TSvgValue(const std::string& Text) : FText(Text) {}
  TSvgValue(const char* Text) : FText(Text) {}
  TSvgValue(double Number);
  TSvgValue(int Number);
  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};

struct TSvgAttribute {
  std::string_view Name;
  TSvgValue Value;
};
using TSvgAttributes = std::initializer_list<TSvgAttribute>;

class TSvgWriter {
 public:
  // Starts the document: the XML declaration and the svg element, Width by Height pixels with a
  // view box of the same size.
  TSvgWriter(double Width, double Height);

  // <Name attributes>: stays open until Close.
  void Open(std::string_view Name, TSvgAttributes Attributes = {});
  void Close();
  // <Name attributes/>.
  void Element(std::string_view Name, TSvgAttributes Attributes);
  // <Name attributes>Text</Name>.
  void TextElement(std::string_view Name, TSvgAttributes Attributes, std::string_view Text);
  // Closes every open element and returns the document.
  std::string Finish();

 private:
  void StartTag(std::string_view Name, TSvgAttributes Attributes);
  void Indent();

  std::string FText;
  std::vector<std::string> FOpen;
};

// Text as XML character data or attribute value: & < > " ' escaped, and every character that XML
// cannot hold (control characters other than tab and line breaks, malformed UTF-8, U+FFFE and
// U+FFFF) replaced by U+FFFD.
std::string EscapeXml(std::string_view Text);

}  // namespace fuzzy::cli
