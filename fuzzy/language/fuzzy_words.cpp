#include "fuzzy/language/fuzzy_words.h"

#include <algorithm>

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/language/fuzzy_logic_token_stream.h"

namespace fuzzy {

namespace {

// Whether Name reads back as one atom of that text: it must not be empty, begin with a character
// that no atom begins with (whitespace, a delimiter, "=", or "?" of a variable reference), nor read
// as a number.
bool IsWritableName(std::string_view Name) {
  if (Name.empty()) return false;
  const char First = Name[0];
  if (First == '=' || First == '?' || (First != '<' && First != '\\' && NeedsEscape(First))) return false;
  return !TFuzzyLogicTokenStream::ReadsAsNumber(Name);
}

}  // namespace

bool NeedsEscape(char C) {
  switch (C) {
    case '"': case '[': case ']': case '(': case ')': case '&': case '|': case '~': case ';': case '<':
    case '\\':
      return true;
    default:
      return static_cast<unsigned char>(C) <= ' ';
  }
}

std::string AtomText(std::string_view Name) {
  if (!IsWritableName(Name)) throw EFzyException(SFzyNameNotWritable, {Name});
  std::string Text;
  for (std::size_t I = 0; I < Name.size(); ++I) {
    if (I > 0 && NeedsEscape(Name[I])) Text += '\\';
    Text += Name[I];
  }
  return Text;
}

std::string StringText(std::string_view Text) {
  std::string Result = "\"";
  for (const char C : Text) {
    if (C == '"' || C == '\\') Result += '\\';
    Result += C;
  }
  return Result + '"';
}

std::string WordText(std::string_view Name) {
  const bool Plain = IsWritableName(Name) && std::none_of(Name.begin(), Name.end(), NeedsEscape);
  return Plain ? std::string(Name) : StringText(Name);
}

}  // namespace fuzzy
