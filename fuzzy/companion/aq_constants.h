#pragma once
// Constants and the exception root of the companion library.
//
//   Text += IndentString;  Text += "(range 0.0000 1.0000)";  Text += NewLineString;

#include <string_view>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

// Root of the companion library's exceptions (message only).
class EAQException : public Exception {
 public:
  using Exception::Exception;
};

// Line break written by the library's text generators.
inline constexpr std::string_view NewLineString = "\n";
// One level of indentation in generated texts.
inline constexpr std::string_view IndentString = "  ";

}  // namespace fuzzy
