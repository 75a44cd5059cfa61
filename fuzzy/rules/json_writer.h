#pragma once
// A small writer of JSON text: objects, arrays, strings, numbers and literals, indented by two
// spaces per level. Keys and values are written in the order they are given; the writer checks
// nothing about nesting beyond what it needs to place commas and line breaks.

#include <string>
#include <string_view>
#include <vector>

namespace fuzzy {

class TJsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The key of the next value inside an object.
  void Key(std::string_view Name);
  void String(std::string_view Value);
  // The shortest text that reads back as Value; null for NaN and the infinities, which JSON lacks.
  void Number(double Value);
  void Number(int Value);
  void Bool(bool Value);
  void Null();

  const std::string& Text() const { return FText; }

 private:
  // Separates the coming value from the one before it and indents it, unless it follows a key.
  void BeginValue();
  void Open(char Bracket);
  void Close(char Bracket);
  void Raw(std::string_view Text);

  std::string FText;
  // Per open bracket: whether it holds a value yet.
  std::vector<bool> FHasValue;
  bool FAfterKey = false;
};

}  // namespace fuzzy
