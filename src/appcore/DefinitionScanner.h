#pragma once
// The functions a script defines itself: a line that, outside comments and
// strings, starts at its first character with optional public, stock,
// static or forward words, an optional tag ("Float:"), then a name and "(".
// A definition has a body: after the closing parenthesis (and comments)
// comes "{" on the same line or on the next line that holds code; a line
// such as a call "foo(a);" is none. Forward lines are declarations.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "appcore/DocComment.h"

namespace ludra {

struct TScriptFunction {
  std::string Name;
  int Line = 0;      // 1-based: the definition, or the forward line when there is none
  std::string Text;  // that line, trimmed
  // Between its "(" and the ")" that closes it, over as many lines as the
  // list takes, blanks folded.
  std::string ParamText;
  bool Forward = false;  // only a forward line was found
  std::string Doc;       // the raw doc comment above it; empty for none
};

// Takes the script line by line, carrying block comments and strings
// continued by a final backslash from one line to the next. Each name is
// listed once, in the order of its first line; a definition after a forward
// line becomes the name's target.
class TDefinitionScanner {
 public:
  void AddLine(std::string_view line);
  // The functions found; a header whose body is still to be seen when the
  // text ends is no definition.
  const std::vector<TScriptFunction>& Functions() const { return functions_; }

 private:
  // A function header read so far: its parameter list may go on over the
  // next lines, and the "{" of its body is still to come.
  struct TPending {
    TScriptFunction Function;
    int Depth = 0;  // parentheses open in the list
    int Lines = 0;
  };
  void TakeDefinition(std::string_view line, std::string doc);
  // Reads line from start for the pending header; it is taken or dropped
  // once its list is closed and the next code shows whether a body follows.
  // header: line is the header's own, with its "(" at start.
  void ContinuePending(std::string_view line, size_t start, bool inComment, bool header);
  void Accept(TScriptFunction f);
  void UpdateState(std::string_view line);
  // Feeds every line to the doc tracker; for a line of code, the raw doc
  // comment directly above it.
  std::string DocAbove(std::string_view trimmed, bool inComment);

  int lineNo_ = 0;
  bool inComment_ = false;
  bool inString_ = false;
  char quote_ = 0;
  std::vector<TScriptFunction> functions_;
  std::unordered_map<std::string, size_t> byName_;
  std::optional<TPending> pending_;
  TDocTracker docs_;
  // The comment and blank lines since the last line of code, for the doc
  // comment above the next one.
  std::vector<std::string> commentLines_;
};

// The completion item of a function: its storage word (public, stock,
// static or forward) where natives show "native", then the name in bold
// and the parameters.
std::string ScriptFunctionItem(const TScriptFunction& f);

// The whole text, split at LF, CR LF or CR.
std::vector<TScriptFunction> ScanDefinitions(std::string_view text);

}  // namespace ludra
