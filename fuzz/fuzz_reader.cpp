// libFuzzer harness of the definition reader: every input is read into a logic component of each
// model, with and without the automatic terms, and what was read is printed back. Reading must end
// in a filled component or in EFzyException (EFzyParseException among them); any other exception
// escapes and is reported as a crash, like a sanitizer finding, a leak or a timeout.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace {

using namespace fuzzy;

void Print(TAQFuzzyLogicParser& Parser, TFuzzyLogic& Logic) {
  for (const TFuzzyVariable* Variable : Logic.Items()) Parser.PrettyPrint(Variable);
}

void Print(TAQFuzzyLogicParser& Parser, TIFuzzyLogic& Logic) {
  for (const IPtr<IFuzzyVariable>& Variable : Logic.Items()) Parser.PrettyPrint(Variable);
}

template <typename TLogic>
void Read(const std::string& Text, bool AutoTerms) {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  Logic->SetAutoTerms(AutoTerms);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  try {
    Parser->Parse(Text, nullptr);
  } catch (const EFzyException&) {
    // What was read before the error stays, and is printed too.
  }
  try {
    Print(*Parser, *Logic);
  } catch (const EFzyException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  const bool AutoTerms = Size % 2 == 1;
  Read<TFuzzyLogic>(Text, AutoTerms);
  Read<TIFuzzyLogic>(Text, AutoTerms);
  return 0;
}
