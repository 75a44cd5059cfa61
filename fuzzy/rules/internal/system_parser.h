#pragma once
// The definition parser that a system's text is read and written with: the parser of the system's
// logic component when it is a TAQFuzzyLogicParser linked to that component (so that a host's
// events and functions take part), else one made for the occasion and linked to it.

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy {

class TSystemParser {
 public:
  explicit TSystemParser(TFuzzyLogic& Logic) : FParser(dynamic_cast<TAQFuzzyLogicParser*>(Logic.Parser())) {
    if (FParser && FParser->FuzzyLogic() == &Logic) return;
    FOwned = MakeOwned<TAQFuzzyLogicParser>(nullptr);
    FOwned->SetFuzzyLogic(&Logic);
    FParser = FOwned.get();
  }

  TAQFuzzyLogicParser& operator*() const { return *FParser; }
  TAQFuzzyLogicParser* operator->() const { return FParser; }

 private:
  TAQFuzzyLogicParser* FParser;
  TOwned<TAQFuzzyLogicParser> FOwned;
};

}  // namespace fuzzy
