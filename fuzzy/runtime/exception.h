#pragma once
// The exception root of the library and the runtime's own error classes.
//
//   throw EListError(SListIndexError, {Index});   // "List index out of bounds (7)"

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

#include "fuzzy/runtime/format.h"

namespace fuzzy {

// Root of every exception the library raises; what() is the formatted message.
class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  // Formats Template with Args (see Format); a template that does not fit raises EConvertError.
  Exception(std::string_view Template, std::initializer_list<TFormatArg> Args)
      : FMessage(Format(Template, Args)) {}

  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string Value) { FMessage = std::move(Value); }

private:
  std::string FMessage;
};

// A list or collection index outside its bounds.
class EListError : public Exception {
public:
  using Exception::Exception;
};

// A failed conversion: an unsupported Assign, a bad number text, a format that does not fit.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// A call that the object's state does not allow (adopting an object that something else owns).
class EInvalidOperation : public Exception {
public:
  using Exception::Exception;
};

inline constexpr std::string_view SAdoptOwned = "Cannot adopt a %s: it belongs to %s";
inline constexpr std::string_view SListIndexError = "List index out of bounds (%d)";
inline constexpr std::string_view SAssignError = "Cannot assign a %s to a %s";
inline constexpr std::string_view SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr std::string_view SArgumentMissing = "No argument for format '%s'";

}  // namespace fuzzy
