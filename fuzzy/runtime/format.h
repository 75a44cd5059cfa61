#pragma once
// Printf-like formatting for message templates and number texts.
//
// Supported: %s, %d, %u, %x, %f, %e, %g and %% with optional '-' (left align), width and
// precision (%9.9d pads digits with zeros to the precision, %.4f gives four decimals).
// Numbers are always written with '.' whatever the process locale. A directive whose
// argument is missing or of the wrong kind raises EConvertError naming the template.
// Fixed-point texts never show a negative zero: -0.00001 with %.4f is "0.0000".
//
//   Format("%s at %.4f", {"peak", 2.5}) == "peak at 2.5000"

#include <concepts>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fuzzy {

class TFormatArg {
 public:
  enum class TKind { String, Integer, Float };

  TFormatArg(std::string_view Value) : FKind(TKind::String), FString(Value) {}
  TFormatArg(const std::string& Value) : FKind(TKind::String), FString(Value) {}
  TFormatArg(const char* Value) : FKind(TKind::String), FString(Value ? Value : "") {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) TFormatArg(T Value)
      : FKind(TKind::Integer), FInteger(static_cast<std::int64_t>(Value)) {}
  template <std::floating_point T>
  TFormatArg(T Value) : FKind(TKind::Float), FFloat(static_cast<double>(Value)) {}

  TKind Kind() const { return FKind; }
  std::string_view String() const { return FString; }
  std::int64_t Integer() const { return FInteger; }
  double Float() const { return FFloat; }

 private:
  TKind FKind;
  std::string_view FString;
  std::int64_t FInteger = 0;
  double FFloat = 0.0;
};

std::string Format(std::string_view Template, std::initializer_list<TFormatArg> Args);

// Fixed-point text with Decimals decimals, '.' as separator, no negative zero.
std::string FloatToStrF(double Value, int Decimals);
// Room for the fixed-point text of any double with up to 9 decimals.
using TNumberText = std::array<char, 400>;
// The same text written into Buffer, for callers that put it into a longer text.
std::string_view FloatToStrF(TNumberText& Buffer, double Value, int Decimals);
// Shortest text that reads back to the same double ("0.5", "1E-5" style avoided: "1e-05" never).
std::string FloatToStr(double Value);
std::string IntToStr(std::int64_t Value);
// Whole text must be a number (surrounding blanks allowed); otherwise EConvertError.
double StrToFloat(std::string_view Text);
bool TryStrToFloat(std::string_view Text, double& Value);
std::int64_t StrToInt(std::string_view Text);
bool TryStrToInt(std::string_view Text, std::int64_t& Value);

// The parts joined into one string, made with a single allocation.
std::string Concat(std::initializer_list<std::string_view> Parts);

// Text helpers of the runtime: blanks are characters at or below the space (bytes).
std::string Trim(std::string_view S);
// The part of S that Trim returns, without copying it.
std::string_view TrimView(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

}  // namespace fuzzy
