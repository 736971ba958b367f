#include "appcore/FunctionCatalog.h"

#include <unordered_set>

#include "base/SynCodePage.h"

namespace ludra {

namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

bool IsCallable(TEntryKind kind) {
  return kind == TEntryKind::Native || kind == TEntryKind::Function || kind == TEntryKind::Macro;
}

std::string ScriptFolder(const std::string& scriptPath) {
  size_t slash = scriptPath.rfind('/');
  if (scriptPath.empty()) return {};
  return slash == std::string::npos ? "." : slash == 0 ? "/" : scriptPath.substr(0, slash);
}

TFunctionCatalog::TFunctionCatalog(std::vector<TCatalogSection> sections)
    : sections_(std::move(sections)) {
  std::vector<TPrefixMacro> prefixes;
  size_t entryCount = 0;
  for (const TCatalogSection& s : sections_) {
    prefixes.insert(prefixes.end(), s.File->Prefixes.begin(), s.File->Prefixes.end());
    entryCount += s.File->Entries.size();
  }

  // Items: one per name and parameters, in reading order; a definition
  // takes its forward's place. Keys and names are views of the entries'
  // texts (or of names_), which stay while the catalog does.
  struct TKey {
    std::string_view Name, Params;
    char Kind;
    bool operator==(const TKey&) const = default;
  };
  struct THash {
    size_t operator()(const TKey& k) const {
      return std::hash<std::string_view>()(k.Name) * 31 + std::hash<std::string_view>()(k.Params) +
             static_cast<size_t>(k.Kind);
    }
  };
  std::unordered_map<TKey, int, THash> byKey;
  byKey.reserve(entryCount);
  items_.reserve(entryCount);
  std::vector<std::string_view> nameDoc;                   // by a callable name's first item
  std::vector<std::vector<int>> itemOf(sections_.size());  // entry -> item, per section
  for (size_t s = 0; s < sections_.size(); ++s) {
    const std::vector<TDeclaration>& entries = sections_[s].File->Entries;
    itemOf[s].assign(entries.size(), -1);
    for (size_t e = 0; e < entries.size(); ++e) {
      const TDeclaration& d = entries[e];
      bool callable = IsCallable(d.Kind);
      std::string_view name = d.Name;
      if (d.Kind == TEntryKind::Function && !d.Tag.empty()) {
        std::string mapped = PrefixedName(prefixes, d.Tag, d.Name);
        if (!mapped.empty()) name = names_.emplace_back(std::move(mapped));
      }
      TKey key{name, d.Params, callable ? 'c' : static_cast<char>('0' + static_cast<int>(d.Kind))};
      auto [at, added] = byKey.try_emplace(key, static_cast<int>(items_.size()));
      TCatalogItem* item;
      if (added) {
        item = &items_.emplace_back();
        item->Entry = &d;
        item->Section = static_cast<int>(s);
        item->Name = std::string(name);
        if (!callable) item->Doc = d.Doc;
        nameDoc.emplace_back();
        if (callable) callables_.try_emplace(name, at->second);
      } else {
        item = &items_[static_cast<size_t>(at->second)];
        if (item->Entry->Prototype && !d.Prototype) {
          item->Entry = &d;
          item->Section = static_cast<int>(s);
        }
      }
      itemOf[s][e] = at->second;
      // The docs of a callable's declarations, joined as the compiler joins them.
      if (callable && !d.Doc.empty()) {
        std::string_view& doc = nameDoc[static_cast<size_t>(callables_.at(name))];
        if (doc.empty())
          doc = d.Doc;
        else if (doc.find(d.Doc) == std::string_view::npos)
          doc = names_.emplace_back(std::string(doc) + "<p/>" + d.Doc);
      }
    }
  }
  for (TCatalogItem& item : items_)
    if (IsCallable(item.Entry->Kind))
      item.Doc = nameDoc[static_cast<size_t>(callables_.at(item.Name))];

  // Rows: each file's heading, then a row per declaration of a callable; a
  // function and its forward share one, which leads to the definition.
  // Operators are left out.
  bool first = true;
  for (size_t s = 0; s < sections_.size(); ++s) {
    const TCatalogSection& section = sections_[s];
    const std::vector<TDeclaration>& entries = section.File->Entries;
    std::unordered_map<std::string_view, size_t> functions;  // a function's row by name
    size_t start = rows_.size();
    for (size_t e = 0; e < entries.size(); ++e) {
      const TDeclaration& d = entries[e];
      if (!IsCallable(d.Kind)) continue;
      int item = itemOf[s][e];
      const std::string& name = items_[static_cast<size_t>(item)].Name;
      if (name.find("operator") != std::string::npos) continue;
      if (d.Kind == TEntryKind::Function) {
        auto [at, added] = functions.try_emplace(name, rows_.size());
        if (!added) {
          TCatalogRow& row = rows_[at->second];
          if (row.Entry->Prototype && !d.Prototype) {
            row.Entry = &d;
            continue;
          }
          if (d.Prototype || row.Entry->Prototype) continue;
        }
      }
      rows_.push_back({name, static_cast<int>(s), item, &d});
    }
    if (section.Script && rows_.size() == start) continue;
    // The heading goes before the file's rows.
    std::vector<TCatalogRow> heading;
    if (!first) heading.push_back({" "});
    heading.push_back({" "});
    heading.push_back(
        {section.Script ? " // this script" : " // " + section.Heading, static_cast<int>(s)});
    heading.push_back({" "});
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(start), heading.begin(),
                 heading.end());
    first = false;
  }
}

int TFunctionCatalog::CallableIndex(std::string_view name) const {
  auto found = callables_.find(name);
  return found == callables_.end() ? -1 : found->second;
}

std::string TFunctionCatalog::RowStatus(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  const TCatalogRow& r = rows_[static_cast<size_t>(row)];
  if (r.Section < 0) return {};
  const TCatalogSection& s = sections_[static_cast<size_t>(r.Section)];
  if (!r.Entry) return s.Script ? "Functions of this script" : "Functions from file: " + s.Heading;
  if (s.Script) return "Line " + std::to_string(r.Entry->Line) + ":  " + r.Entry->Text;
  return "[" + s.Heading + "]  " + r.Entry->Text;
}

std::string KindWord(const TDeclaration& d) {
  if (!d.Word.empty()) return d.Word;
  switch (d.Kind) {
    case TEntryKind::Native:
      return "native";
    case TEntryKind::Function:
      return "function";
    case TEntryKind::Macro:
      return "macro";
    case TEntryKind::Define:
      return "define";
    case TEntryKind::Enum:
      return "enum";
    case TEntryKind::EnumMember:
      return "member";
    case TEntryKind::Variable:
      return "new";
    case TEntryKind::Constant:
      return "const";
  }
  return {};
}

std::string CompletionItemText(const TCatalogItem& item) {
  const TDeclaration& d = *item.Entry;
  std::string text = KindWord(d) + " \\column{}\\style{+B}" + Escaped(item.Name) + "\\style{-B}";
  if (IsCallable(d.Kind)) {
    text += "(" + Escaped(d.Params) + ")";
  } else if (d.Kind == TEntryKind::Define && !d.Detail.empty()) {
    text += " " + Escaped(d.Detail.substr(0, 60));
  } else if (d.Kind == TEntryKind::EnumMember && !d.Detail.empty()) {
    text += " (" + Escaped(d.Detail) + ")";
  }
  return text;
}

std::optional<TCallInsertion> InsertCall(std::string_view line, int caretChar,
                                         std::string_view rowText) {
  if (rowText.empty() || rowText.front() == ' ') return std::nullopt;
  size_t before = caretChar > 1 ? static_cast<size_t>(caretChar - 1) : 0;
  if (before > line.size()) before = line.size();
  TCallInsertion result;
  result.Line.reserve(line.size() + rowText.size() + 2);
  result.Line.append(line.substr(0, before))
      .append(rowText)
      .append("()")
      .append(line.substr(before));
  result.CaretChar = caretChar + static_cast<int>(rowText.size()) + 1;
  return result;
}

TCatalogBuild TCatalogBuilder::Build(const TCatalogRequest& request,
                                     const std::function<bool()>& stop) {
  TCatalogBuild build;
  std::vector<std::string> listed;
  if (!request.IncludeFolders.empty()) {
    const std::string& folder = request.IncludeFolders.front();
    for (const std::string& name : ListIncludeFiles(folder, build.FolderErrors))
      listed.push_back(folder + "/" + name);
  }
  auto script = std::make_shared<TFileDeclarations>();
  if (request.HasScript) *script = ReadDeclarations(request.ScriptText);
  TIncludePaths paths{ScriptFolder(request.ScriptPath), request.IncludeFolders};
  TIncludeTree::TWalk walk =
      tree_.Walk(listed, request.HasScript ? &script->Includes : nullptr, paths, stop);
  build.FolderErrors.insert(build.FolderErrors.end(), walk.ListErrors.begin(),
                            walk.ListErrors.end());
  build.IncludeErrors = std::move(walk.Errors);
  build.IncludesChanged = walk.Changed;

  std::vector<TCatalogSection> sections;
  sections.reserve(walk.Files.size() + 1);
  for (const TIncludeTree::TFilePtr& file : walk.Files)
    sections.push_back({file->Heading, file->Path, false,
                        std::shared_ptr<const TFileDeclarations>(file, &file->Declarations)});
  if (request.HasScript) sections.push_back({"", request.ScriptPath, true, std::move(script)});
  build.Catalog = std::make_shared<const TFunctionCatalog>(std::move(sections));
  for (const TCatalogItem& item : build.Catalog->Items()) {
    build.ItemList.Add(CompletionItemText(item));
    build.InsertList.Add(item.Name);
  }
  return build;
}

}  // namespace ludra
