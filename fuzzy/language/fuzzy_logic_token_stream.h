#pragma once
// The tokens of a definition text, one at a time.
//
// The stream reads one whole top-level list (or one token outside any list) ahead, hands its tokens
// out one by one, takes tokens back (PutBackToken), counts lines and the depth of open
// parentheses, and keeps the tokens handed out in the current top-level list. Their echo, which
// error messages quote, is their text forms separated by spaces, with a line break where the line
// number grows; it is written when asked for, so tokens should not be changed once handed out.
//
// The characters: whitespace is every byte of code 32 or less; a semicolon starts a comment to the
// end of the line; = & ( ) [ ] | ~ are tokens of their own; a double quote starts a string, in
// which the escape character (a backslash) takes the next character literally; anything else
// starts an atom, which runs up to whitespace or one of " [ ] ( ) & | ~ ; < (the escape character
// takes the next character into it). An atom beginning with ? is a variable reference, one that
// reads whole as a number is an integer (one that fits 32 bits) or a float. A line break is CR, LF
// or CR LF; each counts once, wherever it stands.

#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/companion/text_stream.h"
#include "fuzzy/imodel/fuzzy_stream_tokens.h"

namespace fuzzy {

class TFuzzyLogicTokenStream : public TGTextStream {
 public:
  std::string ClassName() const override { return "TFuzzyLogicTokenStream"; }

  // Whether an atom of this text is read as an integer or a float.
  static bool ReadsAsNumber(std::string_view Text);

  // Reads Stream, which the token stream owns, in Encoding (null: by byte order mark, else UTF-8).
  TFuzzyLogicTokenStream(TStream* Stream, TEncoding* Encoding);

  // The next token. At the end of the text an end-of-text token (fstNone, text "EOF") on every
  // call. An unclosed string raises EFzyParseException (SUnbalancedString) at its line.
  IPtr<IFuzzyStreamToken> NextToken() { return IPtr<IFuzzyStreamToken>(&Next()); }
  // The same token lent instead of shared: the stream keeps it alive until a later top-level list
  // is read (or the stream is freed). For readers that keep no token beyond their list, it saves
  // the counting of a shared reference.
  virtual IFuzzyStreamToken& Next();
  // Token comes out again at the next NextToken; tokens put back come out last in, first out. The
  // token becomes the current one, and when it is the last one handed out, it leaves the echo.
  void PutBackToken(const IPtr<IFuzzyStreamToken>& Token) { PutBackToken(*Token); }
  virtual void PutBackToken(IFuzzyStreamToken& Token);
  // The last token handed out or put back; reads the first one when there is none yet.
  IPtr<IFuzzyStreamToken> GetCurrentToken();
  // The last token handed out or put back, or nullptr.
  IFuzzyStreamToken* CurrentToken() const { return FCurrentToken; }
  // Peeks at the head of the next list: the atom after its "(" (or "=" for an equals sign), the
  // list staying unread; "" otherwise. A token that is no "(" is consumed.
  virtual std::string Head();
  // Skips the rest of the current top-level list.
  virtual void MoveToNextConstruct();
  // Skips the rest of the current line (it becomes whitespace of the next token).
  virtual void DiscardUntilEOL();
  // Forgets the tokens read ahead or put back, the echo and the current token.
  virtual void Clear();
  // Reads the text of Stream, which it takes over, in Encoding (as the constructor does) from line 1
  // instead of the current text: how a reader reads one text after another with one token stream.
  void Restart(TStream* Stream, TEncoding* Encoding);
  // The rest of the current line without its line break, which is consumed and counted; the text
  // and the break become whitespace of the next token.
  std::string GetLine() override;

  int LineNumber() const { return FLineNumber; }
  void SetLineNumber(int Value) { FLineNumber = Value; }
  // Open parentheses among the tokens handed out.
  int ParenthesisLevel() const { return FParenthesisLevel; }
  // The echo.
  std::string ToString() const override { return Echo(EchoCount()); }
  std::string AsString() const { return ToString(); }
  // The number of tokens in the echo, and the echo of the first Count of them.
  int EchoCount() const { return static_cast<int>(FNext); }
  std::string Echo(int Count) const;

  TObject* Owner() const { return FOwner; }
  void SetOwner(TObject* Value) { FOwner = Value; }
  char CommentChar() const { return FCommentChar; }
  void SetCommentChar(char Value) { FCommentChar = Value; }
  // Ends a string.
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  // Takes the next character literally, in strings and atoms.
  char EscapeChar() const { return FEscapeChar; }
  void SetEscapeChar(char Value) { FEscapeChar = Value; }

 protected:
  ~TFuzzyLogicTokenStream() override = default;

  // Skips whitespace up to the next other character or the first line break, which it consumes;
  // true when it consumed one.
  virtual bool SkipInLineSpaces();
  // Makes the next token from the characters.
  virtual IPtr<IFuzzyStreamToken> BuildNextToken();
  // A token of TokenType: a delimiter's code, 34 for a string, 13 for "CRLF", -1 for the end of
  // the text (Text, when not empty, is an atom first), 0 for an atom (classified as variable,
  // number or plain atom). Other codes raise EFzyParseException (SInvalidBaseTokenHint). The token
  // gets the current line and the whitespace collected since the last token.
  virtual IPtr<IFuzzyStreamToken> FinishToken(int TokenType, std::string_view Text);

 private:
  // Reads the next top-level list (or single token) ahead, after the tokens handed out.
  void PrepareSExp();
  // Reads a string body after its opening quote into Text.
  void ReadString(std::string& Text);
  // After First (CR or LF) was read: appends the line break (CR LF together) to Into and counts it.
  void ConsumeLineBreak(char First, std::string& Into);

  // A token, and the same token as this stream made it (null for one made elsewhere): a token
  // the stream made is filled again for a later list once nobody else holds it, which saves
  // making and freeing a counted object per token.
  struct TSlot {
    IPtr<IFuzzyStreamToken> Token;
    TFuzzyStreamToken* Made = nullptr;
    int DataType() const { return Made ? Made->StoredDataType() : Token->DataType(); }
  };
  // Moves the tokens of FTokens that nobody else holds to the spare ones, dropping their values
  // and tags, and empties FTokens.
  void Recycle();

  // The tokens of the current top-level list in the order they come out: those before FNext are
  // handed out (the echo), the others are read ahead or put back. Putting back the last token
  // handed out moves FNext back over it; any other token put back is inserted at FNext.
  std::vector<TSlot> FTokens;
  std::size_t FNext = 0;
  int FLineNumber = 1;
  TObject* FOwner = nullptr;
  // Tokens made here that nobody holds any more, ready to be filled again.
  std::vector<TSlot> FSpare;
  // The token the last FinishToken made here, until PrepareSExp takes it into a slot.
  TFuzzyStreamToken* FJustMade = nullptr;
  // The line of the token current when the list began: a later line starts the echo with a break.
  int FEchoStartLine = 0;
  // Held by FTokens.
  IFuzzyStreamToken* FCurrentToken = nullptr;
  int FParenthesisLevel = 0;
  std::string FWhiteSpace;
  char FCommentChar = ';';
  char FQuoteChar = '"';
  char FEscapeChar = '\\';
};

}  // namespace fuzzy
