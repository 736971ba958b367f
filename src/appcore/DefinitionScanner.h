#pragma once
// The functions a script defines itself: a line that, outside comments and
// strings, starts at its first character with optional public, stock,
// static or forward words, an optional tag ("Float:"), then a name and "(".
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ludra {

struct TScriptFunction {
  std::string Name;
  int Line = 0;      // 1-based: the definition, or the forward line when there is none
  std::string Text;  // that line, trimmed
  std::string
      ParamText;         // between its "(" and the first ")" after it (to the line end without one)
  bool Forward = false;  // only a forward line was found
};

// Takes the script line by line, carrying block comments and strings
// continued by a final backslash from one line to the next. Each name is
// listed once, in the order of its first line; a definition after a forward
// line becomes the name's target.
class TDefinitionScanner {
 public:
  void AddLine(std::string_view line);
  const std::vector<TScriptFunction>& Functions() const { return functions_; }

 private:
  void TakeDefinition(std::string_view line);
  void UpdateState(std::string_view line);

  int lineNo_ = 0;
  bool inComment_ = false;
  bool inString_ = false;
  char quote_ = 0;
  std::vector<TScriptFunction> functions_;
  std::unordered_map<std::string, size_t> byName_;
};

// The whole text, split at LF, CR LF or CR.
std::vector<TScriptFunction> ScanDefinitions(std::string_view text);

}  // namespace ludra
