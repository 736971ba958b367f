#pragma once
// Reads one PAWN file as the compiler reads it and turns each declaration
// into one value: natives, functions, #define constants and function-like
// macros, enumerations and their members, global variables and constants,
// and the files it includes. Comments, parts behind an #if that is known to
// be false and text after an #endinput give nothing; doc comments are
// attached where the compiler attaches them. A declaration never runs past a
// line that cannot continue it, so a stray "(" costs one line, not the ones
// after it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ludra {

enum class TEntryKind : uint8_t {
  Native,
  Function,
  Macro,   // #define name(%0, ...)
  Define,  // #define NAME value
  Enum,
  EnumMember,
  Variable,
  Constant,
};

struct TDeclaration {
  TEntryKind Kind = TEntryKind::Function;
  std::string Name;  // as the compiler names it: no tag, no blanks
  // The word written before the name: native, forward, public, stock,
  // static, new, const, enum, or a macro word such as hook or timer; empty
  // for a plain function, a #define and an enumeration member.
  std::string Word;
  std::string Tag;     // the result or value tag, without its colon
  std::string Params;  // callables: between the parentheses, blanks folded
  // A #define's value (its first 200 bytes); a member's enumeration.
  std::string Detail;
  // The declaration as written, comments left out and blanks folded, up to
  // its parameter list's ")" (and the ";" of a native or forward).
  std::string Text;
  // The doc comments the compiler attaches: their marks and each line's
  // leading blanks and stars removed, the pieces joined by a blank.
  std::string Doc;
  int Line = 0;            // 1-based, the line of the name
  bool Prototype = false;  // a forward declaration, not a definition
};

struct TIncludeDirective {
  std::string Name;    // as written, blanks around it removed
  bool Angle = false;  // <name>: looked up in the include folders only
  bool Try = false;    // #tryinclude: a missing file is no error
  int Line = 0;
};

// "#define CMD:%1(%2) ... public cmd_%1(%2)": a definition written
// "CMD:name(...)" is the compiler's function "cmd_name".
struct TPrefixMacro {
  std::string Prefix;  // CMD
  std::string Target;  // cmd_%1
  std::string Slot;    // %1
};

struct TFileDeclarations {
  std::vector<TDeclaration> Entries;  // in the order they stand
  std::vector<TIncludeDirective> Includes;
  std::vector<TPrefixMacro> Prefixes;
};

// Lines end at LF, CR LF or CR; a line whose last character (blanks aside)
// is "\" goes on in the next one.
TFileDeclarations ReadDeclarations(std::string_view text);

// The name of a definition written "prefix:name(": the prefix macro's
// target with the name in its slot; empty when no macro has that prefix.
std::string PrefixedName(const std::vector<TPrefixMacro>& macros, std::string_view prefix,
                         std::string_view name);

// Bounds on what one declaration may take: a longer parameter list, doc
// comment or value is cut there (the rest of the file is still read).
inline constexpr int kMaxDeclarationLines = 64;
inline constexpr size_t kMaxDeclarationBytes = 16 * 1024;
inline constexpr size_t kMaxDocBytes = 64 * 1024;

}  // namespace ludra
