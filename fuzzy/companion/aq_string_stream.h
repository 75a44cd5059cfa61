#pragma once
// The companion library's string stream: a TStringStream made from a text.
//
//   TOwned<TAQStringStream> Stream = MakeOwned<TAQStringStream>("(deffuzzy t)");

#include <string>
#include <string_view>

#include "fuzzy/runtime/encoding.h"
#include "fuzzy/runtime/stream.h"

namespace fuzzy {

class TAQStringStream : public TStringStream {
 public:
  std::string ClassName() const override { return "TAQStringStream"; }

  // Empty, UTF-8.
  TAQStringStream();
  // The UTF-8 bytes of Text.
  explicit TAQStringStream(std::string_view Text);
  // The bytes of Text in Encoding (UTF-8 when null), without a byte order mark. OwnsEncoding: the
  // stream frees Encoding when it is freed, unless Encoding is one of the standard encodings.
  TAQStringStream(std::string_view Text, TEncoding* Encoding, bool OwnsEncoding);

 protected:
  ~TAQStringStream() override;
};

}  // namespace fuzzy
