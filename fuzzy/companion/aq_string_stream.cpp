#include "fuzzy/companion/aq_string_stream.h"

namespace fuzzy {

TAQStringStream::TAQStringStream() = default;

TAQStringStream::TAQStringStream(std::string_view Text) : TStringStream(Text) {}

TAQStringStream::TAQStringStream(std::string_view Text, TEncoding* Encoding, bool OwnsEncoding)
    : TStringStream(Text, Encoding, OwnsEncoding) {}

TAQStringStream::~TAQStringStream() = default;

}  // namespace fuzzy
