#include "fuzzy/language/fuzzy_logic_token_stream.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/companion/helper_functions.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

namespace {

// The most tokens kept for reuse: a long list beyond that frees the rest.
constexpr std::size_t MaxSpareTokens = 512;

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// The characters that end an atom besides whitespace.
bool EndsAtom(char C) {
  switch (C) {
    case '[': case ']': case '(': case ')': case '"': case '&': case '|': case '~': case ';': case '<':
      return true;
    default:
      return false;
  }
}

// The position after the digits of Text from Pos.
std::size_t SkipDigits(std::string_view Text, std::size_t Pos) {
  while (Pos < Text.size() && IsDigit(Text[Pos])) ++Pos;
  return Pos;
}

// Whether Text is written as a number: an optional sign, decimal digits with an optional "." among
// or after them (at least one digit), and an optional exponent (e or E, optional sign, digits).
// Integral: no point and no exponent.
bool IsNumberText(std::string_view Text, bool& Integral) {
  std::size_t Pos = 0;
  if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) ++Pos;
  const std::size_t IntegerEnd = SkipDigits(Text, Pos);
  std::size_t Digits = IntegerEnd - Pos;
  Pos = IntegerEnd;
  Integral = true;
  if (Pos < Text.size() && Text[Pos] == '.') {
    Integral = false;
    const std::size_t FractionEnd = SkipDigits(Text, Pos + 1);
    Digits += FractionEnd - Pos - 1;
    Pos = FractionEnd;
  }
  if (Digits == 0) return false;
  if (Pos < Text.size() && (Text[Pos] == 'e' || Text[Pos] == 'E')) {
    Integral = false;
    ++Pos;
    if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) ++Pos;
    const std::size_t ExponentEnd = SkipDigits(Text, Pos);
    if (ExponentEnd == Pos) return false;
    Pos = ExponentEnd;
  }
  return Pos == Text.size();
}

// The kind and value of an atom that is a number: an integer when it is integral and fits 32 bits,
// else a float when it converts to a finite value. False for any other atom.
bool ConvertNumber(std::string_view Text, TFuzzyStreamTokenType& Kind, double& Value) {
  bool Integral = false;
  if (!IsNumberText(Text, Integral)) return false;
  // from_chars reads no plus sign.
  const std::string_view Unsigned = Text[0] == '+' ? Text.substr(1) : Text;
  const char* const End = Unsigned.data() + Unsigned.size();
  // Up to nine digits always fit 32 bits: the common case, without from_chars.
  if (Integral && Text[0] != '-' && Unsigned.size() <= 9) {
    std::int32_t Integer = 0;
    for (const char C : Unsigned) Integer = Integer * 10 + (C - '0');
    Kind = fstInteger;
    Value = Integer;
    return true;
  }
  if (Integral) {
    std::int32_t Integer = 0;
    const auto [Ptr, Ec] = std::from_chars(Unsigned.data(), End, Integer);
    if (Ec == std::errc() && Ptr == End) {
      Kind = fstInteger;
      Value = Integer;
      return true;
    }
  }
  double Float = 0;
  const auto [Ptr, Ec] = std::from_chars(Unsigned.data(), End, Float);
  if (Ec != std::errc() || Ptr != End || !std::isfinite(Float)) return false;
  Kind = fstFloat;
  Value = Float;
  return true;
}

// Whether an atom is tried as a number: it begins with a number character and is no lone sign or
// point.
bool IsNumberAtom(std::string_view Text) {
  return !Text.empty() && IsNumberChar(Text[0]) && !(Text.size() == 1 && IsNumberSymbol(Text[0]));
}

}  // namespace

bool TFuzzyLogicTokenStream::ReadsAsNumber(std::string_view Text) {
  TFuzzyStreamTokenType Kind = fstAtom;
  double Number = 0;
  return IsNumberAtom(Text) && ConvertNumber(Text, Kind, Number);
}

TFuzzyLogicTokenStream::TFuzzyLogicTokenStream(TStream* Stream, TEncoding* Encoding)
    : TGTextStream(Stream, Encoding) {}

// ---- characters --------------------------------------------------------------------------------

void TFuzzyLogicTokenStream::ConsumeLineBreak(char First, std::string& Into) {
  Into += First;
  char Next;
  if (First == '\r' && PeekChar(Next) && Next == '\n') {
    GetChar(Next);
    Into += Next;
  }
  ++FLineNumber;
}

bool TFuzzyLogicTokenStream::SkipInLineSpaces() {
  const std::string_view Rest = Unread();
  std::size_t Spaces = 0;
  for (; Spaces < Rest.size() && IsBlank(Rest[Spaces]); ++Spaces) {
    const char C = Rest[Spaces];
    if (C != '\r' && C != '\n') continue;
    // The line break ends the run: CR LF counts as one.
    const std::size_t End = Spaces + (C == '\r' && Spaces + 1 < Rest.size() && Rest[Spaces + 1] == '\n' ? 2 : 1);
    FWhiteSpace.append(Rest.data(), End);
    Skip(End);
    ++FLineNumber;
    return true;
  }
  if (Spaces > 0) {
    FWhiteSpace.append(Rest.data(), Spaces);
    Skip(Spaces);
  }
  return false;
}

std::string TFuzzyLogicTokenStream::GetLine() {
  std::string Line;
  char C;
  while (GetChar(C)) {
    if (C == '\r' || C == '\n') {
      FWhiteSpace += Line;
      ConsumeLineBreak(C, FWhiteSpace);
      return Line;
    }
    Line += C;
  }
  FWhiteSpace += Line;
  return Line;
}

void TFuzzyLogicTokenStream::DiscardUntilEOL() { GetLine(); }

void TFuzzyLogicTokenStream::ReadString(std::string& Text) {
  char C;
  while (GetChar(C)) {
    if (C == FEscapeChar) {
      if (!GetChar(C)) break;
    } else if (C == FQuoteChar) {
      return;
    }
    if (C == '\r' || C == '\n')
      ConsumeLineBreak(C, Text);
    else
      Text += C;
  }
  throw EFzyParseException(SUnbalancedString, FLineNumber);
}

// ---- tokens ------------------------------------------------------------------------------------

IPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::BuildNextToken() {
  for (;;) {
    while (SkipInLineSpaces() && !IsEof()) {
    }
    const std::string_view Rest = Unread();
    if (Rest.empty()) return FinishToken(-1, {});
    const char C = Rest[0];
    switch (C) {
      case '=': case '&': case '(': case ')': case '[': case ']': case '|': case '~':
        Skip(1);
        return FinishToken(static_cast<unsigned char>(C), Rest.substr(0, 1));
      case '"': {
        Skip(1);
        std::string Body;
        ReadString(Body);
        return FinishToken('"', Body);
      }
      case ';':
        Skip(1);
        FWhiteSpace += C;
        GetLine();
        continue;
      default:
        break;
    }
    // An atom: its first character as it stands, then up to whitespace or a character that ends
    // atoms; whitespace after it goes to the next token, which also counts a line break. Read in
    // place unless the escape character takes a character into it.
    std::size_t End = 1;
    while (End < Rest.size() && !IsBlank(Rest[End]) && !EndsAtom(Rest[End]) && Rest[End] != FEscapeChar) ++End;
    Skip(End);
    if (End == Rest.size() || IsBlank(Rest[End]) || EndsAtom(Rest[End])) return FinishToken(0, Rest.substr(0, End));
    std::string Text(Rest.substr(0, End));
    char Ch;
    while (PeekChar(Ch) && !IsBlank(Ch) && !EndsAtom(Ch)) {
      GetChar(Ch);
      if (Ch == FEscapeChar) {
        if (!GetChar(Ch)) break;
        if (Ch == '\r' || Ch == '\n') {
          ConsumeLineBreak(Ch, Text);
          continue;
        }
      }
      Text += Ch;
    }
    return FinishToken(0, Text);
  }
}

IPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::FinishToken(int TokenType, std::string_view Text) {
  if (TokenType == -1 && !Text.empty()) return FinishToken(0, Text);
  int Kind = TokenType;
  std::string_view TokenText = Text;
  double Number = 0;
  switch (TokenType) {
    case '&': case '(': case ')': case '=': case '[': case ']': case '|': case '~':
      break;
    case '"':
      Kind = fstString;
      break;
    case '\r':
      Kind = fstAtom;
      TokenText = "CRLF";
      break;
    case -1:
      Kind = fstNone;
      TokenText = "EOF";
      break;
    case 0: {
      TFuzzyStreamTokenType NumberKind = fstAtom;
      if (!Text.empty() && Text[0] == '?') {
        Kind = fstVariable;
        TokenText.remove_prefix(1);
      } else if (IsNumberAtom(Text) && ConvertNumber(Text, NumberKind, Number)) {
        Kind = NumberKind;
        TokenText = {};
      } else {
        Kind = fstAtom;
      }
      break;
    }
    default:
      throw EFzyParseException(SInvalidBaseTokenHint, {IntToStr(TokenType)}, FLineNumber);
  }
  TSlot Slot;
  if (FSpare.empty()) {
    Slot.Made = New<TFuzzyStreamToken>();
    Slot.Token = IPtr<IFuzzyStreamToken>(Slot.Made);
  } else {
    Slot = std::move(FSpare.back());
    FSpare.pop_back();
  }
  // Counted before it is filled, so that an allocation that fails while filling frees it.
  Slot.Made->SetLexical(Kind, TokenText, Number, FLineNumber, FWhiteSpace);
  FWhiteSpace.clear();
  FJustMade = Slot.Made;
  return std::move(Slot.Token);
}

void TFuzzyLogicTokenStream::Recycle() {
  for (TSlot& Slot : FTokens)
    if (Slot.Made && Slot.Made->RefCount() == 1 && FSpare.size() < MaxSpareTokens) {
      Slot.Made->ClearValues();
      FSpare.push_back(std::move(Slot));
    }
  FTokens.clear();
  FNext = 0;
}

// ---- the tokens ahead and the echo -------------------------------------------------------------

void TFuzzyLogicTokenStream::PrepareSExp() {
  // The slot of the token just built: FinishToken notes the token it made, which an override of
  // it may have replaced by another.
  const auto Build = [this] {
    TSlot Slot{BuildNextToken(), nullptr};
    if (FJustMade && Slot.Token.Get() == FJustMade) Slot.Made = FJustMade;
    FJustMade = nullptr;
    return Slot;
  };
  TSlot Slot = Build();
  // Every token is handed out here. The echo starts again with each top-level list; past the end
  // of the text it goes on, so that a message about a list the text never closes still shows the
  // list.
  if (Slot.DataType() != fstNone) {
    FEchoStartLine = FCurrentToken ? FCurrentToken->LineNumber() : Slot.Token->LineNumber();
    FCurrentToken = nullptr;
    Recycle();
  }
  int Depth = 0;
  for (;;) {
    const int Type = Slot.DataType();
    FTokens.push_back(std::move(Slot));
    if (Type == fstNone) break;
    if (Type == '(') ++Depth;
    if (Type == ')') --Depth;
    if (Depth <= 0) break;
    Slot = Build();
  }
}

IFuzzyStreamToken& TFuzzyLogicTokenStream::Next() {
  if (FNext == FTokens.size()) PrepareSExp();
  const TSlot& Slot = FTokens[FNext++];
  IFuzzyStreamToken& Token = *Slot.Token;
  FCurrentToken = &Token;
  const int Type = Slot.DataType();
  if (Type == '(') ++FParenthesisLevel;
  if (Type == ')') --FParenthesisLevel;
  return Token;
}

void TFuzzyLogicTokenStream::PutBackToken(IFuzzyStreamToken& Token) {
  if (FNext > 0 && FTokens[FNext - 1].Token.Get() == &Token)
    --FNext;
  else
    FTokens.insert(FTokens.begin() + static_cast<std::ptrdiff_t>(FNext), TSlot{IPtr<IFuzzyStreamToken>(&Token), nullptr});
  FCurrentToken = &Token;
  const int Type = FTokens[FNext].DataType();
  if (Type == ')') ++FParenthesisLevel;
  if (Type == '(') --FParenthesisLevel;
}

std::string TFuzzyLogicTokenStream::Echo(int Count) const {
  std::string Text;
  int Line = FEchoStartLine;
  for (int I = 0; I < Count && I < EchoCount(); ++I) {
    const IFuzzyStreamToken& Token = *FTokens[static_cast<std::size_t>(I)].Token;
    if (Line < Token.LineNumber()) Text += NewLineString;
    Line = Token.LineNumber();
    Text += Token.ToString();
    Text += ' ';
  }
  return Text;
}

IPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::GetCurrentToken() {
  if (!FCurrentToken) Next();
  return IPtr<IFuzzyStreamToken>(FCurrentToken);
}

std::string TFuzzyLogicTokenStream::Head() {
  IFuzzyStreamToken& Open = Next();
  if (Open.DataType() != '(') return {};
  const IPtr<IFuzzyStreamToken> First = FNext < FTokens.size() ? FTokens[FNext].Token : nullptr;
  PutBackToken(Open);
  if (!First) return {};
  if (First->DataType() == fstAtom) return First->Text().empty() ? First->ToString() : First->Text();
  if (First->DataType() == '=') return "=";
  return {};
}

void TFuzzyLogicTokenStream::MoveToNextConstruct() {
  while (FParenthesisLevel != 0)
    if (Next().DataType() == fstNone) break;
}

void TFuzzyLogicTokenStream::Clear() {
  Recycle();
  FCurrentToken = nullptr;
}

void TFuzzyLogicTokenStream::Restart(TStream* Stream, TEncoding* Encoding) {
  Clear();
  // The room of a long list is not kept for the next text.
  if (FTokens.capacity() > MaxSpareTokens) std::vector<TSlot>().swap(FTokens);
  SetSource(Stream, Encoding);
  FLineNumber = 1;
  FParenthesisLevel = 0;
  FEchoStartLine = 0;
  FWhiteSpace.clear();
}

}  // namespace fuzzy
