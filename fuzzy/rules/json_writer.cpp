#include "fuzzy/rules/json_writer.h"

#include <charconv>
#include <cmath>

namespace fuzzy {

void TJsonWriter::BeginValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (FHasValue.empty()) return;
  if (FHasValue.back()) FText += ',';
  FHasValue.back() = true;
  FText += '\n';
  FText.append(2 * FHasValue.size(), ' ');
}

void TJsonWriter::Open(char Bracket) {
  BeginValue();
  FText += Bracket;
  FHasValue.push_back(false);
}

void TJsonWriter::Close(char Bracket) {
  const bool HadValue = FHasValue.back();
  FHasValue.pop_back();
  if (HadValue) {
    FText += '\n';
    FText.append(2 * FHasValue.size(), ' ');
  }
  FText += Bracket;
}

void TJsonWriter::BeginObject() { Open('{'); }
void TJsonWriter::EndObject() { Close('}'); }
void TJsonWriter::BeginArray() { Open('['); }
void TJsonWriter::EndArray() { Close(']'); }

void TJsonWriter::Key(std::string_view Name) {
  String(Name);
  FText += ": ";
  FAfterKey = true;
}

void TJsonWriter::String(std::string_view Value) {
  BeginValue();
  FText += '"';
  for (const char C : Value) {
    switch (C) {
      case '"':
        FText += "\\\"";
        break;
      case '\\':
        FText += "\\\\";
        break;
      case '\n':
        FText += "\\n";
        break;
      case '\r':
        FText += "\\r";
        break;
      case '\t':
        FText += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(C) < 0x20) {
          static constexpr char Hex[] = "0123456789abcdef";
          FText += "\\u00";
          FText += Hex[(C >> 4) & 0xF];
          FText += Hex[C & 0xF];
        } else {
          FText += C;
        }
    }
  }
  FText += '"';
}

void TJsonWriter::Number(double Value) {
  if (!std::isfinite(Value)) {
    Null();
    return;
  }
  char Buffer[32];
  const auto End = std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr;
  Raw(std::string_view(Buffer, static_cast<std::size_t>(End - Buffer)));
}

void TJsonWriter::Number(int Value) { Raw(std::to_string(Value)); }

void TJsonWriter::Bool(bool Value) { Raw(Value ? "true" : "false"); }

void TJsonWriter::Null() { Raw("null"); }

void TJsonWriter::Raw(std::string_view Text) {
  BeginValue();
  FText += Text;
}

}  // namespace fuzzy
