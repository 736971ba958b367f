// The catalog against the compiler's own view: generated headers of every
// shape real include sets hold (doc comments of each kind and what may stand
// between them and their declaration, section headings with "(" in
// comments, inactive parts, several blanks after "native", forwards
// continued at the first character, bodies without braces, a prefix macro,
// enumerations, constants, globals, macros) are compiled with "pawncc -r";
// its cross-reference report must name the same natives, functions,
// constants, enumerations and variables with the same doc comments, and
// "#if defined" must find the same macros.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "appcore/FunctionCatalog.h"

using namespace ludra;

namespace {

std::string Fold(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (static_cast<unsigned char>(c) <= ' ') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// What the report says of one symbol: its doc (the <param> parts moved
// out, as the report moves them) and its parameters' texts.
struct TReported {
  std::string Doc;
  std::map<std::string, std::string> Params;
  std::set<std::string> Members;  // of an enumeration
  bool Native = false;
};

// The report's members by kind letter and name ("M:Beep").
std::map<std::string, TReported> ReadReport(const std::string& path) {
  std::ifstream in(path);
  std::map<std::string, TReported> out;
  std::string line, current, param;
  auto tagged = [](std::string_view t) {
    for (const char* p : {"<attribute ", "<stacksize ", "<referrer ", "<dependency ", "<tagname ",
                          "<size ", "<automaton ", "<paraminfo>", "</param>", "</member>"})
      if (t.starts_with(p)) return true;
    return false;
  };
  while (std::getline(in, line)) {
    size_t tabs = line.find_first_not_of('\t');
    if (tabs == std::string::npos) continue;
    std::string_view t = std::string_view(line).substr(tabs);
    if (t.starts_with("<member name=\"")) {
      std::string name(t.substr(14, t.find('"', 14) - 14));
      if (tabs == 2) out[current = name];
      if (tabs == 3) out[current].Members.insert(name.substr(2));
      param.clear();
      continue;
    }
    if (current.empty() || tabs < 3) continue;
    if (t.starts_with("<attribute name=\"native\"")) out[current].Native = true;
    if (t.starts_with("<param name=\"")) {
      param = std::string(t.substr(13, t.find('"', 13) - 13));
      continue;
    }
    if (t.starts_with("</param>")) param.clear();
    if (tagged(t)) continue;
    if (tabs == 4 && !param.empty()) out[current].Params[param] = Fold(t);
    if (tabs == 3 && param.empty()) out[current].Doc = Fold(t);
  }
  return out;
}

// A doc as the report shows it: each named parameter's <param> taken out.
TReported AsReported(std::string doc, const std::vector<std::string>& params) {
  TReported r;
  for (const std::string& p : params) {
    std::string open = "<param name=\"" + p + "\">";
    size_t a = doc.find(open);
    size_t b = a == std::string::npos ? a : doc.find("</param>", a);
    if (b == std::string::npos) continue;
    r.Params[p] = Fold(doc.substr(a + open.size(), b - a - open.size()));
    doc.erase(a, b + 8 - a);
  }
  r.Doc = Fold(doc);
  return r;
}

// The parameter names of a parameter text: "Float:x = 1.0" gives x.
std::vector<std::string> ParamNames(const std::string& params) {
  std::vector<std::string> names;
  std::string word, last;
  int depth = 0;
  bool afterEq = false;
  for (size_t i = 0; i <= params.size(); ++i) {
    char c = i < params.size() ? params[i] : ',';
    bool ident = std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@';
    if (ident) {
      word += c;
      continue;
    }
    if (!word.empty() && !afterEq && depth == 0 && c != ':') last = word;
    word.clear();
    if (c == '[' || c == '(' || c == '{') ++depth;
    if (c == ']' || c == ')' || c == '}') --depth;
    if (c == '=' && depth == 0) afterEq = true;
    if (c == ',' && depth == 0) {
      if (!last.empty()) names.push_back(last);
      last.clear();
      afterEq = false;
    }
  }
  return names;
}

// Writes one header with count declarations of random shapes; real
// declarations are named in names (with the script's use of each), decoys
// (in comments or inactive parts) never are.
class TGenerator {
 public:
  explicit TGenerator(unsigned seed) : rng_(seed) {}

  std::string Header(int file, int count) {
    std::string h = "#if defined _h" + std::to_string(file) + "_included\n#endinput\n#endif\n" +
                    "#define _h" + std::to_string(file) + "_included\n";
    if (file == 0) h += "#define CMD:%1(%2) forward cmd_%1(%2); public cmd_%1(%2)\n";
    for (int i = 0; i < count; ++i) h += Decoy() + Doc() + Gap() + Declaration();
    // The compiler gives a doc left over at a file's end to the next file's
    // first declaration: a last native takes it here.
    std::string last = Name("Z");
    Use(last, last + "();");
    h += "native " + last + "();\n#endinput\nnative X" + std::to_string(file) + "_after_end();\n";
    return h;
  }
  std::vector<std::string> MainUses, FileUses;

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  std::string Name(const char* prefix) { return prefix + std::to_string(serial_++); }

  std::string Doc() {
    std::string n = std::to_string(serial_);
    switch (Pick(7)) {
      case 0:
        return "";
      case 1:
        return "/// <summary>One " + n + " &amp; more.</summary>\n/// <param name=\"a\">The a of " +
               n + ".</param>\n";
      case 2:
        return "/**\n * <summary>Block " + n + "</summary>\n * <returns>1</returns>\n */\n";
      case 3:
        return "/*---*//** <summary>Ruled " + n + "</summary> */\n";
      case 4:
        return "//// not a doc " + n + "\n";
      case 5:
        return "/** First " + n + " */\n/// <summary>Second " + n + "</summary>\n";
      default:
        return "/// <summary>Long " + n + " " + std::string(120, 'x') + " tail</summary>\n";
    }
  }
  std::string Gap() {
    switch (Pick(6)) {
      case 0:
        return "\n";
      case 1:
        return "#pragma deprecated Use another\n";
      case 2:
        return "// a plain comment\n";
      default:
        return "";
    }
  }
  std::string Decoy() {
    std::string d = Name("D");
    switch (Pick(6)) {
      case 0:
        return "/*\n    native            " + d + "(\n    native ====(\n*/\n";
      case 1:
        return "// native " + d + "(a);\n";
      case 2:
        return "#if 0\nnative " + d + "(a);\n#endif\n";
      case 3:
        return "/* native\xC2\xA0\xC2\xA0" + d + "( */\n";
      default:
        return "";
    }
  }
  void Use(const std::string& name, const std::string& call) {
    MainUses.push_back("#if defined " + name + "\n  " + call + "\n#endif\n");
  }
  std::string Declaration() {
    std::string n;
    switch (Pick(11)) {
      case 0:
        n = Name("N");
        Use(n, n + "(0, 0);");
        return "native  " + n + "(a, b = 2);\n";
      case 1:
        n = Name("N");
        Use(n, "x = " + n + "(0, \"\");");
        return "native Float:" + n + "(a,\n        const s[]);\n";
      case 2:
        n = Name("S");
        return "stock " + n + "(a) return a + 1;\n";
      case 3:
        n = Name("F");
        return "forward " + n + "(a,\nb);\npublic " + n + "(a, b)\n{\n\treturn a + b;\n}\n";
      case 4:
        n = Name("P");
        return "public " + n + "() return 1;\n";
      case 5:
        n = Name("E");
        Use(n, "new v" + n + "[" + n + "];");
        return "enum " + n + " { " + n + "_a, Float:" + n + "_b = 5, " + n + "_c[4] }\n";
      case 6:
        n = Name("C");
        Use(n, "x = " + n + ";");
        return "const " + n + " = 7;\n";
      case 7:
        n = Name("G");
        return "new " + n + ", Float:" + n + "f = 1.0, " + n + "a[3] = {1, 2, 3};\n";
      case 8:
        n = Name("M");
        FileUses.push_back("#if defined " + n + "\nnew __d_" + n + ";\n#endif\n");
        return Pick(2) ? "#define " + n + " (5)\n" : "#define " + n + "(%0) ((%0) + 1)\n";
      case 9:
        n = Name("K");
        return "CMD:" + n + "(playerid, params[])\n{\n\treturn 1;\n}\n";
      default:
        n = Name("T");
        return "#if 1\nstock " + n + "(a)\n{\n\treturn a;\n}\n#else\nnative " + n +
               "x();\n#endif\n";
    }
  }

  std::mt19937 rng_;
  int serial_ = 0;
};

std::string Pawncc() {
  const char* path = std::getenv("LUDRA_PAWNCC");
  return path ? path : "";
}

}  // namespace

TEST(CatalogOracle, SymbolsAndDocsAreTheCompilersOwn) {
  const std::string pawncc = Pawncc();
  ASSERT_FALSE(pawncc.empty()) << "LUDRA_PAWNCC names no compiler: run the test through ctest, "
                                  "which builds it (the pawn_compiler fixture)";
  ASSERT_TRUE(std::filesystem::exists(pawncc)) << pawncc << " was not built";
  char pattern[] = "/tmp/ludra-oracle-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  for (unsigned seed = 1; seed <= 6 && !HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::filesystem::remove_all(root + "/include");
    std::filesystem::create_directories(root + "/include");
    TGenerator gen(seed);
    std::string script;
    const int files = 4;
    for (int f = 0; f < files; ++f) {
      std::ofstream(root + "/include/h" + std::to_string(f) + ".inc") << gen.Header(f, 30);
      script += "#include <h" + std::to_string(f) + ">\n";
    }
    script += "main()\n{\n  new x;\n";
    for (const std::string& use : gen.MainUses) script += use;
    script += "  #pragma unused x\n}\n";
    for (const std::string& use : gen.FileUses) script += use;
    std::ofstream(root + "/main.pwn") << script;
    std::string command = "cd '" + root + "' && '" + pawncc + "' -r -i'" + root +
                          "/include' main.pwn >compile.log 2>&1";
    std::system(command.c_str());
    std::map<std::string, TReported> report = ReadReport(root + "/main.xml");
    ASSERT_FALSE(report.empty()) << "no report; see " << root << "/compile.log";

    TCatalogBuilder builder;
    TCatalogBuild build = builder.Build({{root + "/include"}, true, root + "/main.pwn", script});
    const TFunctionCatalog& catalog = *build.Catalog;
    std::map<std::string, TReported> mine;
    std::set<std::string> macros;
    for (const TCatalogItem& item : catalog.Items()) {
      const TDeclaration& d = *item.Entry;
      if (catalog.Sections()[static_cast<size_t>(item.Section)].Script) continue;
      switch (d.Kind) {
        case TEntryKind::Native:
        case TEntryKind::Function: {
          TReported& r = mine["M:" + item.Name] =
              AsReported(std::string(item.Doc), ParamNames(d.Params));
          r.Native = d.Kind == TEntryKind::Native;
          break;
        }
        case TEntryKind::Enum:
          mine["T:" + item.Name] = AsReported(std::string(item.Doc), {});
          break;
        case TEntryKind::EnumMember:
          mine["T:" + d.Detail].Members.insert(item.Name);
          break;
        case TEntryKind::Constant:
          mine["C:" + item.Name] = AsReported(std::string(item.Doc), {});
          break;
        case TEntryKind::Variable:
          mine["F:" + item.Name] = AsReported(std::string(item.Doc), {});
          break;
        case TEntryKind::Define:
        case TEntryKind::Macro:
          if (!item.Name.starts_with("_h")) macros.insert(item.Name);
          break;
      }
    }
    std::set<std::string> reportedMacros;
    for (auto it = report.begin(); it != report.end();) {
      const std::string& name = it->first;
      if (name.starts_with("F:__d_")) reportedMacros.insert(name.substr(6));
      bool ours = name.size() > 2 && std::isupper(static_cast<unsigned char>(name[2])) &&
                  !name.starts_with("F:__") && name != "M:main";
      it = ours || name.starts_with("M:cmd_") ? std::next(it) : report.erase(it);
    }
    EXPECT_EQ(macros, reportedMacros);
    for (const auto& [name, r] : report) {
      SCOPED_TRACE(name);
      auto found = mine.find(name);
      ASSERT_NE(found, mine.end());
      EXPECT_EQ(found->second.Doc, r.Doc);
      EXPECT_EQ(found->second.Native, r.Native);
      for (const auto& [param, text] : r.Params) {
        if (text.empty()) continue;
        EXPECT_EQ(found->second.Params[param], text) << param;
      }
      EXPECT_EQ(found->second.Members, r.Members);
    }
    // The catalog holds nothing the compiler does not (every native,
    // constant and enumeration is used, so the report names them).
    for (const auto& [name, r] : mine) EXPECT_TRUE(report.count(name)) << name;
  }
  if (!HasFailure()) std::filesystem::remove_all(root);
}
