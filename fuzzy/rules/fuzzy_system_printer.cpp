#include "fuzzy/rules/fuzzy_system_printer.h"

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/language/fuzzy_words.h"
#include "fuzzy/rules/internal/system_parser.h"

namespace fuzzy {

std::string PrintFuzzySystem(const TFuzzySystem& System) {
  System.CheckIntact();
  const TSystemParser Parser(System.Logic());
  std::string Text;
  for (const TFuzzyVariable* Variable : System.Logic().Items())
    Text += Concat({Parser->PrettyPrint(Variable), NewLineString});
  for (int B = 0; B < System.RuleBlockCount(); ++B) {
    const TFuzzyRuleBlock& Block = System.RuleBlocks(B);
    Text += Concat({"(defrules ", AtomText(Block.Name()), NewLineString});
    for (int R = 0; R < Block.Count(); ++R)
      Text += Concat({IndentString, "(rule ", StringText(Block.Items(R).ToString()), ")", NewLineString});
    Text += Concat({")", NewLineString});
  }
  return Text;
}

}  // namespace fuzzy
