#pragma once
// Names and texts written as single tokens of the definition language, so that reading the token
// gives them back: the printer's names, comments and units, and the names that rule texts use.
//
//   AtomText("room temp") == "room\\ temp"       // one atom, its space escaped
//   StringText("say \"hi\"") == "\"say \\\"hi\\\"\""
//   WordText("cold") == "cold", WordText("room temp") == "\"room temp\""

#include <string>
#include <string_view>

namespace fuzzy {

// Whether an atom holds C only after the escape character: C ends an atom (whitespace,
// " [ ] ( ) & | ~ ; <) or is the escape character itself.
bool NeedsEscape(char C);

// Name as one atom: each character after the first that would end the atom is escaped (the first
// character of an atom is taken as it stands). A name that no atom can hold (empty, beginning with
// whitespace, a delimiter, "=" or "?", or reading as a number) raises EFzyException
// (SFzyNameNotWritable).
std::string AtomText(std::string_view Name);

// Text in double quotes, the quote and the escape character escaped.
std::string StringText(std::string_view Text);

// Name as the plain atom it is when one reads back as it without escapes, else as a string. An
// expression names a term by either (the empty string and "__Empty" name the empty set).
std::string WordText(std::string_view Name);

}  // namespace fuzzy
