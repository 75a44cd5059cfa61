#include "fuzzy/runtime/interface.h"

#include "fuzzy/runtime/format.h"

namespace fuzzy {

std::string TGUID::ToString() const {
  return Format("{%8.8x-%4.4x-%4.4x-%2.2x%2.2x-%2.2x%2.2x%2.2x%2.2x%2.2x%2.2x}",
                {D1, D2, D3, D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]});
}

}  // namespace fuzzy
