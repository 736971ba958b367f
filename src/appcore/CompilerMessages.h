#pragma once
// The compiler's messages, read from the text it writes:
//   /home/u/gm/sieve.pwn(6) : error 001: expected token: ";", but found "new"
//   sieve.pwn(11 -- 13) : warning 215: expression has no effect
//   sieve.pwn(3) : fatal error 100: cannot read from file: "missing"
// Lines of any other shape are plain text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ludra {

enum TCompilerMessageKind : uint8_t { cmError, cmWarning, cmFatalError };

struct TCompilerMessage {
  std::string FileName;  // as the compiler wrote it: absolute or relative to the script's folder
  int Line = 0;          // first line the message is about
  int LastLine = 0;      // last line; equal to Line unless the compiler gave a range
  TCompilerMessageKind Kind = cmError;
  int Number = 0;
  std::string Text;    // what follows "error 001: "
  int OutputLine = 0;  // 0-based line of the output it was read from
  friend bool operator==(const TCompilerMessage&, const TCompilerMessage&) = default;
};

// The text without the terminal escape sequences (colours, cursor moves,
// window titles) that some compilers and wrappers write; line ends stay.
std::string StripTerminalEscapes(std::string_view text);

// One line of the compiler's output (without its line end; a CR at its end
// is ignored; terminal escapes do not count) read as a message, or nothing
// when it has another shape. steps, when given, receives the number of
// bytes looked at, which stays within a small multiple of the line's length.
std::optional<TCompilerMessage> ParseCompilerMessage(std::string_view line,
                                                     size_t* steps = nullptr);

// Every message of the output, in order, each with the 0-based number of
// the line ('\n'-separated) it stands on.
std::vector<TCompilerMessage> ParseCompilerOutput(std::string_view output);

// "error", "warning" or "fatal error".
std::string_view CompilerMessageKindText(TCompilerMessageKind kind);

// The message as one line without its file: "error 001: expected ...".
std::string CompilerMessageSummary(const TCompilerMessage& message);

// A path the compiler wrote that needs no folder before it: "/...", a drive
// ("C:\..." or "C:/..."), or a network share ("\\server\...").
bool IsAbsoluteMessagePath(std::string_view fileName);

// The file a message names: an absolute path as it is, a relative one in
// the script's folder (scriptDir, with or without its closing '/').
std::string ResolveMessagePath(std::string_view fileName, std::string_view scriptDir);

}  // namespace ludra
