#pragma once
// The C-family highlighter used for PAWN source: comments, directives,
// strings, character literals, numbers, identifiers, the C/C++ reserved words
// and operators. Block comments, and directives or strings continued by a
// final backslash, carry over to the next line through the range state.
#include <cstdint>
#include <string>
#include <string_view>

#include "highlight/SynEditHighlighter.h"

namespace ludra {

enum TCppTokenKind : uint8_t {
  tokAsm = 0,
  tokComment = 1,
  tokDirective = 2,
  tokIdentifier = 3,
  tokKeyword = 4,
  tokEnd = 5,
  tokNumber = 6,
  tokSpace = 7,
  tokString = 8,
  tokSymbol = 9,
  tokInvalid = 10,
  tokChar = 11,
  tokFloat = 12,
  tokHex = 13,
  tokOctal = 14,
};

enum TCppRangeState : uint8_t {
  rsNone = 0,
  rsInComment = 1,
  rsInDirectiveComment = 7,
  rsStringContinues = 10,
  rsDirectiveContinues = 11,
};

class TSynCppSyn : public TSynCustomHighlighter {
 public:
  TSynCppSyn();

  TSynHighlighterAttributes* DefaultAttribute(int index) const override;
  TSynCharSet IdentifierChars() const override;
  std::string SampleSource() const override;
  std::string LanguageName() const override;
  // Final, so that the line scan below may skip the virtual calls.
  bool AtLineEnd() const final { return tokenId_ == tokEnd; }
  TSynRange GetRangeState() const override { return range_; }
  std::string TokenText() const override;
  TSynHighlighterAttributes* TokenAttribute() const override { return kindAttri_[tokenId_]; }
  int TokenKind() const override { return tokenId_; }
  int TokenStart() const override { return origin_ + tokenPos_; }
  // Comments, string and character literals, and a directive's text.
  bool TokenIsFreeText() const override {
    return tokenId_ == tokComment || tokenId_ == tokString || tokenId_ == tokChar ||
           tokenId_ == tokDirective;
  }
  void NextToken() final;
  void StartLine(std::string_view text, int lineIndex) override;
  bool GetScanPoint(int position, TSynScanPoint& point) override;
  void StartLineAt(std::string_view text, int lineIndex, const TSynScanPoint& point) override;
  // Only the low byte is kept: the state is one byte.
  void SetRangeState(TSynRange value) override { range_ = static_cast<uint8_t>(value); }
  void ResetRangeState() override { range_ = rsNone; }

  // The current token without a copy; valid until the next StartLine.
  std::string_view TokenView() const {
    return std::string_view(line_ + tokenPos_, static_cast<size_t>(run_ - tokenPos_));
  }
  int TokenLength() const { return run_ - tokenPos_; }
  int LineIndex() const { return lineNumber_; }

  // True when the identifier is one of the reserved words (case-sensitive).
  static bool IsKeyword(std::string_view word);

  TSynHighlighterAttributes* AsmAttri() const { return asmAttri_; }
  TSynHighlighterAttributes* CommentAttri() const { return commentAttri_; }
  TSynHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
  TSynHighlighterAttributes* InvalidAttri() const { return invalidAttri_; }
  TSynHighlighterAttributes* KeyAttri() const { return keyAttri_; }
  TSynHighlighterAttributes* NumberAttri() const { return numberAttri_; }
  TSynHighlighterAttributes* CharAttri() const { return charAttri_; }
  TSynHighlighterAttributes* FloatAttri() const { return floatAttri_; }
  TSynHighlighterAttributes* HexAttri() const { return hexAttri_; }
  TSynHighlighterAttributes* OctalAttri() const { return octalAttri_; }
  TSynHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
  TSynHighlighterAttributes* StringAttri() const { return stringAttri_; }
  TSynHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }
  TSynHighlighterAttributes* DirecAttri() const { return direcAttri_; }

 private:
  TSynHighlighterAttributes* NewAttribute(const char* name);
  void ScanRestOfLine() override;
  void Next();

  // Dispatch on the first character.
  void NullProc();
  void LineBreakProc();
  void SpaceProc();
  void IdentProc();
  void StringProc();
  void AsciiCharProc();
  void DirectiveProc();
  void SlashProc();
  void PointProc();
  void AtProc();
  void InvalidProc();
  void NotSymbolProc();
  void PercentProc();
  void AndSymbolProc();
  void StarProc();
  void PlusProc();
  void MinusProc();
  void ColonProc();
  void LowerProc();
  void EqualProc();
  void GreaterProc();
  void XOrSymbolProc();
  void OrSymbolProc();
  void SingleSymbolProc();

  // Continuations of constructs left open by the previous line or token.
  void CommentBodyProc();
  void StringContinuationProc();
  void DirectiveContinuationProc();

  void NumberProc(int s);
  void DirectiveBody();
  void StringBody();
  bool DirectiveMayStartHere();
  void OneOrTwo(char second);

  // The line, copied with NUL padding on both sides so that looking a few
  // bytes ahead (or one behind) never leaves the buffer.
  std::string buffer_;
  const char* line_ = nullptr;
  int length_ = 0;
  int lineNumber_ = 0;
  // A scan resumed inside a line copies only the text from the byte before
  // its point on: positions below are relative to line_, which is the
  // line's byte `origin_`.
  int origin_ = 0;
  int firstNonBlank_ = -1;  // in the whole line; computed on the first # of the line
  int run_ = 0;
  int tokenPos_ = 0;
  TCppTokenKind tokenId_ = tokEnd;
  uint8_t range_ = rsNone;

  TSynHighlighterAttributes* asmAttri_;
  TSynHighlighterAttributes* commentAttri_;
  TSynHighlighterAttributes* identifierAttri_;
  TSynHighlighterAttributes* invalidAttri_;
  TSynHighlighterAttributes* keyAttri_;
  TSynHighlighterAttributes* numberAttri_;
  TSynHighlighterAttributes* charAttri_;
  TSynHighlighterAttributes* floatAttri_;
  TSynHighlighterAttributes* hexAttri_;
  TSynHighlighterAttributes* octalAttri_;
  TSynHighlighterAttributes* spaceAttri_;
  TSynHighlighterAttributes* stringAttri_;
  TSynHighlighterAttributes* symbolAttri_;
  TSynHighlighterAttributes* direcAttri_;
  TSynHighlighterAttributes* kindAttri_[15];
};

}  // namespace ludra
