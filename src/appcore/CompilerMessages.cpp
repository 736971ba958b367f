#include "appcore/CompilerMessages.h"

namespace ludra {

namespace {

constexpr int kMaxDigits = 9;  // keeps every number inside an int

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a place at a position of one line, counting every byte it looks at.
struct TPlaceReader {
  std::string_view s;
  size_t pos;
  size_t& steps;

  // Reads a decimal number; false when there is none or it is too long.
  bool Number(int& value) {
    size_t start = pos;
    value = 0;
    while (pos < s.size() && (++steps, IsDigit(s[pos]))) {
      if (pos - start == kMaxDigits) return false;
      value = value * 10 + (s[pos] - '0');
      ++pos;
    }
    return pos > start;
  }
  bool Text(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i, ++steps)
      if (pos + i >= s.size() || s[pos + i] != text[i]) return false;
    pos += text.size();
    return true;
  }
  // "(6) : error 001: text" or "(11 -- 13) : warning 215: text".
  bool Place(TCompilerMessage& message) {
    if (!Text("(") || !Number(message.Line)) return false;
    message.LastLine = message.Line;
    if (Text(" -- ") && (!Number(message.LastLine) || message.LastLine < message.Line))
      return false;
    if (!Text(") : ")) return false;
    if (Text("error "))
      message.Kind = cmError;
    else if (Text("warning "))
      message.Kind = cmWarning;
    else if (Text("fatal error "))
      message.Kind = cmFatalError;
    else
      return false;
    if (!Number(message.Number) || !Text(":")) return false;
    Text(" ");
    message.Text = std::string(s.substr(pos));
    return true;
  }
};

}  // namespace

std::string StripTerminalEscapes(std::string_view text) {
  constexpr char kEsc = '\x1b';
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] != kEsc) {
      size_t next = text.find(kEsc, i);
      if (next == std::string_view::npos) next = text.size();
      out.append(text.substr(i, next - i));
      i = next;
      continue;
    }
    ++i;
    if (i >= text.size()) break;
    char kind = text[i++];
    if (kind == '[') {
      // Parameters and intermediates up to the final byte; a line end ends
      // a broken sequence without being taken along.
      while (i < text.size() && text[i] != '\n' && !(text[i] >= '@' && text[i] <= '~')) ++i;
      if (i < text.size() && text[i] != '\n') ++i;
    } else if (kind == ']') {
      // Up to BEL or ESC \ (or the line end).
      while (i < text.size() && text[i] != '\a' && text[i] != kEsc && text[i] != '\n') ++i;
      if (i < text.size() && text[i] == '\a')
        ++i;
      else if (i + 1 < text.size() && text[i] == kEsc && text[i + 1] == '\\')
        i += 2;
    } else if (kind >= ' ' && kind <= '/') {
      // Intermediates, then one final byte (ESC ( B chooses a character set).
      while (i < text.size() && text[i] >= ' ' && text[i] <= '/') ++i;
      if (i < text.size() && text[i] != '\n') ++i;
    } else if (kind == '\n' || kind == kEsc) {
      --i;  // a line end is never part of a sequence, and ESC starts one anew
    }
  }
  return out;
}

std::optional<TCompilerMessage> ParseCompilerMessage(std::string_view line, size_t* steps) {
  std::string plain;
  if (line.find('\x1b') != std::string_view::npos) {
    plain = StripTerminalEscapes(line);
    line = plain;
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t count = 0;
  auto report = [&] {
    if (steps) *steps = count;
  };
  // The file name needs more than blanks before its parenthesis.
  size_t text = 0;
  while (text < line.size() && (++count, line[text] == ' ' || line[text] == '\t')) ++text;
  // The first parenthesis that starts a place wins: a file name may hold
  // parentheses, and the message may quote text that looks like a place.
  // Each is looked at once, and a place is a few bytes: the whole line is
  // read in linear time.
  for (size_t open = text; open < line.size(); ++open) {
    ++count;
    if (line[open] != '(' || open == text) continue;
    TCompilerMessage message;
    if (!TPlaceReader{line, open, count}.Place(message)) continue;
    message.FileName = std::string(line.substr(0, open));
    report();
    return message;
  }
  report();
  return std::nullopt;
}

std::vector<TCompilerMessage> ParseCompilerOutput(std::string_view output) {
  std::vector<TCompilerMessage> messages;
  int lineNumber = 0;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string_view::npos) end = output.size();
    if (std::optional<TCompilerMessage> message =
            ParseCompilerMessage(output.substr(start, end - start))) {
      message->OutputLine = lineNumber;
      messages.push_back(std::move(*message));
    }
    ++lineNumber;
    start = end + 1;
  }
  return messages;
}

std::string_view CompilerMessageKindText(TCompilerMessageKind kind) {
  switch (kind) {
    case cmWarning:
      return "warning";
    case cmFatalError:
      return "fatal error";
    case cmError:
      break;
  }
  return "error";
}

std::string CompilerMessageSummary(const TCompilerMessage& message) {
  std::string number = std::to_string(message.Number);
  if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
  return std::string(CompilerMessageKindText(message.Kind)) + " " + number + ": " + message.Text;
}

bool IsAbsoluteMessagePath(std::string_view fileName) {
  if (fileName.empty()) return false;
  if (fileName[0] == '/' || fileName.substr(0, 2) == "\\\\") return true;
  char drive = fileName[0];
  bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  return letter && fileName.size() >= 3 && fileName[1] == ':' &&
         (fileName[2] == '\\' || fileName[2] == '/');
}

std::string ResolveMessagePath(std::string_view fileName, std::string_view scriptDir) {
  if (IsAbsoluteMessagePath(fileName) || scriptDir.empty()) return std::string(fileName);
  std::string path(scriptDir);
  if (path.back() != '/') path += '/';
  return path + std::string(fileName);
}

}  // namespace ludra
