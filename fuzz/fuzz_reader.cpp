// libFuzzer harness of the definition language, in both models, with and without the automatic
// terms:
//  - the input read as a definition text, and what was read printed back; the printed text must
//    read again and print the same;
//  - the input evaluated as an expression over a fixed variable whose logic component holds named
//    expressions (among them a reference cycle).
// Reading and evaluating must end in a result or in EFzyException (EFzyParseException among
// them); any other exception escapes and is reported as a crash, like a sanitizer finding, a leak
// or a timeout. A printed text that does not read back, or reads back to another text, aborts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace {

using namespace fuzzy;

constexpr const char* Terms =
    "(deffuzzy t (range 0 40) (values (term cold ((0 1) (10 1) (20 0))) (term mild (tri 10 20 30))"
    " (term hot (s 20 40)) (term warm (pi 6 25)) (term b (beta 5 20 3))))\n";

template <typename TLogic>
struct TModel {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TAQFuzzyLogicParser> Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  explicit TModel(bool AutoTerms) {
    Logic->SetAutoTerms(AutoTerms);
    Logic->SetParser(Parser.get());
    Parser->SetFuzzyLogic(Logic.get());
  }
  // The text of every variable read, or "" when one cannot be written.
  std::string Print() {
    std::string Text;
    try {
      if constexpr (std::is_same_v<TLogic, TFuzzyLogic>) {
        for (const TFuzzyVariable* Variable : Logic->Items()) Text += Parser->PrettyPrint(Variable) + "\n";
      } else {
        for (int I = 0; I < Logic->Items().Count(); ++I)
          Text += Parser->PrettyPrint(Logic->Items().GetItemByIndex(I)) + "\n";
      }
    } catch (const EFzyException&) {
      return {};
    }
    return Text;
  }
};

[[noreturn]] void Finding(const char* What, const std::string& Text, const std::string& Detail) {
  std::fprintf(stderr, "%s\n--- text:\n%s\n--- detail:\n%s\n", What, Text.c_str(), Detail.c_str());
  std::abort();
}

template <typename TLogic>
void ReadAndPrint(const std::string& Text, bool AutoTerms) {
  TModel<TLogic> First(AutoTerms);
  try {
    First.Parser->Parse(Text, nullptr);
  } catch (const EFzyException&) {
    // What was read before the error stays, and is printed too.
  }
  const std::string Printed = First.Print();
  if (Printed.empty()) return;
  TModel<TLogic> Second(AutoTerms);
  try {
    Second.Parser->Parse(Printed, nullptr);
  } catch (const EFzyException& E) {
    Finding("printed text does not read", Printed, E.what());
  }
  if (const std::string Again = Second.Print(); Again != Printed) Finding("printed text reads back to another", Printed, Again);
}

template <typename TLogic>
void Evaluate(const std::string& Expression) {
  TModel<TLogic> Model(false);
  for (const char* Line : {"x=very warm", "y=?z", "z=?y or cold", "h=hot", "e="}) Model.Logic->Variables().Add(Line);
  Model.Parser->Parse(Terms, nullptr);
  try {
    if constexpr (std::is_same_v<TLogic, TFuzzyLogic>) {
      TFuzzySet* Set = nullptr;
      Model.Parser->EvalFuzzyExpression(Model.Logic->Items().Items(0), Expression, Set);
    } else {
      IPtr<IFuzzySet> Set;
      Model.Parser->EvalFuzzyExpression(Model.Logic->Items().Get("t"), Expression, Set);
    }
  } catch (const EFzyException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  const bool AutoTerms = Size % 2 == 1;
  ReadAndPrint<TFuzzyLogic>(Text, AutoTerms);
  ReadAndPrint<TIFuzzyLogic>(Text, AutoTerms);
  Evaluate<TFuzzyLogic>(Text);
  Evaluate<TIFuzzyLogic>(Text);
  return 0;
}
