#include "fuzzy/runtime/format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

namespace {

struct TDirective {
  bool LeftAlign = false;
  int Width = -1;
  int Precision = -1;
  char Type = 0;
};

[[noreturn]] void InvalidFormat(std::string_view Template) {
  throw EConvertError(SInvalidFormat, {Template});
}

// Reads digits at Pos; returns -1 when there are none.
int ReadNumber(std::string_view Text, std::size_t& Pos) {
  if (Pos >= Text.size() || Text[Pos] < '0' || Text[Pos] > '9') return -1;
  int Value = 0;
  while (Pos < Text.size() && Text[Pos] >= '0' && Text[Pos] <= '9') {
    if (Value > 100000) throw EConvertError("Format width or precision too large");
    Value = Value * 10 + (Text[Pos++] - '0');
  }
  return Value;
}

std::string ToChars(double Value, std::chars_format Fmt, int Precision) {
  char Buffer[400];
  auto Result = Precision < 0 ? std::to_chars(Buffer, Buffer + sizeof Buffer, Value, Fmt)
                              : std::to_chars(Buffer, Buffer + sizeof Buffer, Value, Fmt, Precision);
  if (Result.ec != std::errc()) throw EConvertError("Number too large to format");
  return std::string(Buffer, Result.ptr);
}

std::string FormatFloat(double Value, char Type, int Precision) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value > 0 ? "INF" : "-INF";
  switch (Type) {
    case 'f':
      return FloatToStrF(Value, Precision < 0 ? 2 : Precision);
    case 'e':
      return ToChars(Value, std::chars_format::scientific, Precision < 0 ? 15 : Precision);
    default:
      return Precision < 0 ? FloatToStr(Value) : ToChars(Value, std::chars_format::general, Precision);
  }
}

std::string FormatInteger(std::int64_t Value, char Type, int Precision) {
  char Buffer[32];
  const bool Negative = Value < 0 && Type == 'd';
  const std::uint64_t Magnitude =
      Negative ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
  auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Magnitude, Type == 'x' ? 16 : 10);
  std::string Digits(Buffer, Result.ptr);
  if (Type == 'x')
    for (char& C : Digits) C = static_cast<char>(C >= 'a' ? C - 'a' + 'A' : C);
  if (Precision > static_cast<int>(Digits.size()))
    Digits.insert(0, static_cast<std::size_t>(Precision) - Digits.size(), '0');
  return Negative ? "-" + Digits : Digits;
}

std::string FormatOne(std::string_view Template, const TDirective& D, const TFormatArg& Arg) {
  using K = TFormatArg::TKind;
  switch (D.Type) {
    case 's':
      if (Arg.Kind() != K::String) InvalidFormat(Template);
      return std::string(D.Precision < 0 ? Arg.String() : Arg.String().substr(0, D.Precision));
    case 'd':
    case 'u':
    case 'x':
      if (Arg.Kind() != K::Integer) InvalidFormat(Template);
      return FormatInteger(Arg.Integer(), D.Type, D.Precision);
    case 'f':
    case 'e':
    case 'g':
      if (Arg.Kind() != K::Float) InvalidFormat(Template);
      return FormatFloat(Arg.Float(), D.Type, D.Precision);
    default:
      InvalidFormat(Template);
  }
}

}  // namespace

std::string Format(std::string_view Template, std::initializer_list<TFormatArg> Args) {
  std::string Out;
  Out.reserve(Template.size() + 16);
  auto NextArg = Args.begin();
  std::size_t Pos = 0;
  while (Pos < Template.size()) {
    const char C = Template[Pos++];
    if (C != '%') {
      Out += C;
      continue;
    }
    if (Pos < Template.size() && Template[Pos] == '%') {
      Out += '%';
      ++Pos;
      continue;
    }
    TDirective D;
    if (Pos < Template.size() && Template[Pos] == '-') {
      D.LeftAlign = true;
      ++Pos;
    }
    D.Width = ReadNumber(Template, Pos);
    if (Pos < Template.size() && Template[Pos] == '.') {
      ++Pos;
      D.Precision = ReadNumber(Template, Pos);
      if (D.Precision < 0) InvalidFormat(Template);
    }
    if (Pos >= Template.size()) InvalidFormat(Template);
    D.Type = static_cast<char>(Template[Pos] | 0x20);  // case-insensitive directive letters
    ++Pos;
    if (NextArg == Args.end()) throw EConvertError(SArgumentMissing, {Template});
    std::string Text = FormatOne(Template, D, *NextArg++);
    if (D.Width > static_cast<int>(Text.size())) {
      const std::string Pad(static_cast<std::size_t>(D.Width) - Text.size(), ' ');
      Text = D.LeftAlign ? Text + Pad : Pad + Text;
    }
    Out += Text;
  }
  return Out;
}

namespace {

// The fixed-point text of Value with Decimals places, written from the nearest whole number of
// |Value| scaled by 10^Decimals when double arithmetic settles it: below 2^40 the scaling errs by
// at most 2^-13, so when the scaled value lies farther than 2^-11 from a half, its nearest whole
// number is that of the exact product, the one std::to_chars would write. Otherwise (or out of
// range) nothing. A zero result has no sign. The text ends at the end of Buffer.
std::optional<std::string_view> ScaledText(TNumberText& Buffer, double Value, int Decimals) {
  static constexpr double Scales[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (Decimals < 0 || Decimals > 9) return std::nullopt;
  const double Scaled = std::fabs(Value) * Scales[Decimals];
  if (!(Scaled < 0x1p40)) return std::nullopt;
  const double Floor = std::floor(Scaled);
  const double Fraction = Scaled - Floor;
  if (std::fabs(Fraction - 0.5) <= 0x1p-11) return std::nullopt;
  const std::uint64_t Rounded = static_cast<std::uint64_t>(Floor) + (Fraction > 0.5 ? 1 : 0);
  std::uint64_t Whole = Rounded;
  // Digits from the right: the decimals, the point, then the whole part.
  char* const End = Buffer.data() + Buffer.size();
  char* Cursor = End;
  for (int I = 0; I < Decimals; ++I) {
    *--Cursor = static_cast<char>('0' + Whole % 10);
    Whole /= 10;
  }
  if (Decimals > 0) *--Cursor = '.';
  do {
    *--Cursor = static_cast<char>('0' + Whole % 10);
    Whole /= 10;
  } while (Whole != 0);
  if (Value < 0 && Rounded != 0) *--Cursor = '-';
  return std::string_view(Cursor, static_cast<std::size_t>(End - Cursor));
}

}  // namespace

std::string_view FloatToStrF(TNumberText& Buffer, double Value, int Decimals) {
  if (!std::isfinite(Value)) return std::isnan(Value) ? "NAN" : (Value > 0 ? "INF" : "-INF");
  if (std::optional<std::string_view> Text = ScaledText(Buffer, Value, Decimals)) return *Text;
  auto Result = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value, std::chars_format::fixed, Decimals);
  if (Result.ec != std::errc()) throw EConvertError("Number too large to format");
  std::string_view Text(Buffer.data(), static_cast<std::size_t>(Result.ptr - Buffer.data()));
  // A negative number that rounds to zero is written without its sign.
  if (Text[0] == '-' && Text.find_first_not_of("-0.") == std::string_view::npos) Text.remove_prefix(1);
  return Text;
}

std::string FloatToStrF(double Value, int Decimals) {
  TNumberText Buffer;
  return std::string(FloatToStrF(Buffer, Value, Decimals));
}

std::string Concat(std::initializer_list<std::string_view> Parts) {
  std::size_t Size = 0;
  for (std::string_view Part : Parts) Size += Part.size();
  std::string Result(Size, '\0');
  char* Out = Result.data();
  for (std::string_view Part : Parts)
    for (char C : Part) *Out++ = C;
  return Result;
}

std::string FloatToStr(double Value) {
  if (Value == 0.0) return "0";
  return ToChars(Value, std::chars_format::general, -1);
}

std::string IntToStr(std::int64_t Value) {
  char Buffer[24];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  return std::string(Buffer, Result.ptr);
}

bool TryStrToFloat(std::string_view Text, double& Value) {
  const std::string T = Trim(Text);
  // Plain decimal numbers only: no "inf", "nan", hexadecimal or doubled signs.
  if (T.empty() || T.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
  const char* First = T.data();
  if (*First == '+') ++First;
  if (First < T.data() + T.size() && (*First == '+' || *First == '-') && First != T.data()) return false;
  double Result = 0;
  auto [Ptr, Ec] = std::from_chars(First, T.data() + T.size(), Result);
  if (Ec != std::errc() || Ptr != T.data() + T.size()) return false;
  Value = Result;
  return true;
}

double StrToFloat(std::string_view Text) {
  double Value = 0;
  if (!TryStrToFloat(Text, Value))
    throw EConvertError(Format("'%s' is not a valid floating point value", {Text}));
  return Value;
}

bool TryStrToInt(std::string_view Text, std::int64_t& Value) {
  const std::string T = Trim(Text);
  if (T.empty()) return false;
  const char* First = T.data();
  if (*First == '+') ++First;
  if (First < T.data() + T.size() && (*First == '+' || *First == '-') && First != T.data()) return false;
  std::int64_t Result = 0;
  auto [Ptr, Ec] = std::from_chars(First, T.data() + T.size(), Result);
  if (Ec != std::errc() || Ptr != T.data() + T.size()) return false;
  Value = Result;
  return true;
}

std::int64_t StrToInt(std::string_view Text) {
  std::int64_t Value = 0;
  if (!TryStrToInt(Text, Value)) throw EConvertError(Format("'%s' is not a valid integer value", {Text}));
  return Value;
}

namespace {
bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }
}  // namespace

std::string TrimLeft(std::string_view S) {
  std::size_t First = 0;
  while (First < S.size() && IsBlank(S[First])) ++First;
  return std::string(S.substr(First));
}

std::string TrimRight(std::string_view S) {
  std::size_t Last = S.size();
  while (Last > 0 && IsBlank(S[Last - 1])) --Last;
  return std::string(S.substr(0, Last));
}

std::string_view TrimView(std::string_view S) {
  std::size_t First = 0;
  std::size_t Last = S.size();
  while (Last > 0 && IsBlank(S[Last - 1])) --Last;
  while (First < Last && IsBlank(S[First])) ++First;
  return S.substr(First, Last - First);
}

std::string Trim(std::string_view S) { return std::string(TrimView(S)); }

}  // namespace fuzzy
