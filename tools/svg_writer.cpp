#include "tools/svg_writer.h"

#include "fuzzy/runtime/encoding.h"
#include "fuzzy/runtime/format.h"

namespace fuzzy::cli {

namespace {

bool IsXmlCharacter(char32_t Code) {
  if (Code < 0x20) return Code == '\t' || Code == '\n' || Code == '\r';
  return Code != 0xFFFE && Code != 0xFFFF;
}

}  // namespace

TSvgValue::TSvgValue(double Number) : FText(FloatToStrF(Number, 2)) {
  // 12.50 as 12.5 and 760.00 as 760.
  FText.erase(FText.find_last_not_of('0') + 1);
  if (FText.back() == '.') FText.pop_back();
}

TSvgValue::TSvgValue(int Number) : FText(IntToStr(Number)) {}

std::string EscapeXml(std::string_view Text) {
  std::string Result;
  Result.reserve(Text.size());
  for (std::size_t Pos = 0; Pos < Text.size();) {
    const std::size_t Start = Pos;
    const char32_t Code = DecodeUTF8(Text, Pos);
    switch (Code) {
      case '&':
        Result += "&amp;";
        break;
      case '<':
        Result += "&lt;";
        break;
      case '>':
        Result += "&gt;";
        break;
      case '"':
        Result += "&quot;";
        break;
      case '\'':
        Result += "&apos;";
        break;
      default:
        // A decoded U+FFFD may stand for a malformed sequence: write the character, not the bytes.
        if (!IsXmlCharacter(Code) || Code == ReplacementCharacter)
          AppendUTF8(Result, ReplacementCharacter);
        else
          Result.append(Text.substr(Start, Pos - Start));
    }
  }
  return Result;
}

TSvgWriter::TSvgWriter(double Width, double Height) {
  FText = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string W = TSvgValue(Width).Text();
  const std::string H = TSvgValue(Height).Text();
  Open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
               {"width", W},
               {"height", H},
               {"viewBox", Concat({"0 0 ", W, " ", H})}});
}

void TSvgWriter::Indent() { FText.append(2 * FOpen.size(), ' '); }

void TSvgWriter::StartTag(std::string_view Name, TSvgAttributes Attributes) {
  Indent();
  FText += '<';
  FText += Name;
  for (const TSvgAttribute& Attribute : Attributes)
    FText += Concat({" ", Attribute.Name, "=\"", EscapeXml(Attribute.Value.Text()), "\""});
}

void TSvgWriter::Open(std::string_view Name, TSvgAttributes Attributes) {
  StartTag(Name, Attributes);
  FText += ">\n";
  FOpen.emplace_back(Name);
}

void TSvgWriter::Close() {
  const std::string Name = std::move(FOpen.back());
  FOpen.pop_back();
  Indent();
  FText += Concat({"</", Name, ">\n"});
}

void TSvgWriter::Element(std::string_view Name, TSvgAttributes Attributes) {
  StartTag(Name, Attributes);
  FText += "/>\n";
}

void TSvgWriter::TextElement(std::string_view Name, TSvgAttributes Attributes, std::string_view Text) {
  StartTag(Name, Attributes);
  FText += Concat({">", EscapeXml(Text), "</", Name, ">\n"});
}

std::string TSvgWriter::Finish() {
  while (!FOpen.empty()) Close();
  return std::move(FText);
}

}  // namespace fuzzy::cli
