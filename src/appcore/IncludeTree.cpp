#include "appcore/IncludeTree.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"
#include "base/SynFiles.h"

namespace ludra {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Deeper nesting than this is taken for a runaway chain of generated files.
constexpr int kMaxDepth = 64;

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool HasExtension(std::string_view name) {
  size_t slash = name.rfind('/');
  size_t dot = name.rfind('.');
  return dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash) &&
         dot + 1 < name.size();
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool EndsWithIncNoCase(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view end = name.substr(name.size() - 4);
  return end[0] == '.' && (end[1] | 32) == 'i' && (end[2] | 32) == 'n' && (end[3] | 32) == 'c';
}

// The stock, public and forward functions of an include file, as rows and
// entries after its natives.
void AddFunctions(TIncludeScan& scan, const std::string& heading, std::string_view text) {
  TDefinitionScanner definitions;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    definitions.AddLine(text.substr(start, end - start));
    start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
  }
  for (const TScriptFunction& f : definitions.Functions()) {
    int doc = -1;
    if (!f.Doc.empty()) {
      scan.Docs.push_back(f.Doc);
      doc = static_cast<int>(scan.Docs.size()) - 1;
    }
    scan.Rows.push_back(f.Name);
    scan.InfoList.Add("[" + heading + "]  " + f.Text);
    scan.RowDocs.push_back(doc);
    AddEntry(scan, f.Name, ScriptFunctionItem(f), ParamHintString(f.ParamText), doc);
  }
}

}  // namespace

std::optional<TIncludeDirective> IncludeDirective(std::string_view line) {
  size_t p = 0, n = line.size();
  while (p < n && IsBlank(line[p])) ++p;
  if (p >= n || line[p] != '#') return std::nullopt;
  ++p;
  while (p < n && IsBlank(line[p])) ++p;
  TIncludeDirective d;
  if (line.substr(p).starts_with("include")) {
    p += 7;
  } else if (line.substr(p).starts_with("tryinclude")) {
    p += 10;
    d.Try = true;
  } else {
    return std::nullopt;
  }
  if (p < n && !IsBlank(line[p]) && line[p] != '"' && line[p] != '<') return std::nullopt;
  while (p < n && IsBlank(line[p])) ++p;
  if (p >= n) return std::nullopt;
  size_t end;
  if (line[p] == '"' || line[p] == '<') {
    d.Angle = line[p] == '<';
    end = line.find(d.Angle ? '>' : '"', p + 1);
    if (end == std::string_view::npos) return std::nullopt;
    ++p;
  } else {
    end = p;
    while (end < n && !IsBlank(line[end]) && !line.substr(end).starts_with("//") &&
           !line.substr(end).starts_with("/*"))
      ++end;
  }
  d.Name = std::string(line.substr(p, end - p));
  if (d.Name.empty()) return std::nullopt;
  return d;
}

TIncludeTree::TFilePtr TIncludeTree::Load(const std::string& path, const std::string& heading,
                                          bool listed, std::string& error) {
  auto cached = cache_.find(path);
  // Looked at once per walk: a file handed out stays as it was read.
  if (cached != cache_.end() && cached->second.Walk == walk_) return cached->second.File;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    // Not there is the normal case of a folder tried before the right one.
    if (errno != ENOENT && errno != ENOTDIR)
      error = "Cannot open file \"" + path + "\". " + std::strerror(errno);
    return nullptr;
  }
  // Only regular files are read: a FIFO or a device named like an include
  // file would hold the window up.
  if (!S_ISREG(st.st_mode)) {
    error = "Cannot open file \"" + path + "\". " + kNotARegularFile;
    return nullptr;
  }
  auto tooLarge = [&] {
    error = "Include file \"" + path + "\" skipped: it is larger than 16 MB";
    return nullptr;
  };
  if (st.st_size > kMaxFileBytes) return tooLarge();
  int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (cached != cache_.end()) {
    const TTreeFile& c = *cached->second.File;
    if (c.Device == st.st_dev && c.Inode == st.st_ino && c.Size == st.st_size && c.MTime == mtime) {
      cached->second.Walk = walk_;
      return cached->second.File;
    }
  }
  std::string text, reason;
  if (!ReadRegularFile(path, text, reason)) {
    error = "Cannot open file \"" + path + "\". " + reason;
    return nullptr;
  }
  // It may have grown since it was looked at.
  if (static_cast<int64_t>(text.size()) > kMaxFileBytes) return tooLarge();
  // The size and time seen before reading: a file changed while it was read
  // differs from them and is read again next time.
  auto file = std::make_shared<TTreeFile>();
  file->Path = path;
  file->Heading = heading;
  file->Listed = listed;
  file->Device = st.st_dev;
  file->Inode = st.st_ino;
  file->Size = st.st_size;
  file->MTime = mtime;
  AddIncludeFile(file->Scan, heading, text);
  AddFunctions(file->Scan, heading, text);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    // Directives are looked for only on lines that start with "#".
    std::string_view line(text.data() + start, end - start);
    if (line.find('#') != std::string_view::npos)
      if (std::optional<TIncludeDirective> d = IncludeDirective(line))
        file->Includes.push_back(std::move(*d));
    start = end + 1;
  }
  // An earlier walk's list keeps the file this replaces.
  cache_[path] = {file, walk_};
  if (OnRead) OnRead(path);
  return file;
}

TIncludeTree::TWalk TIncludeTree::Walk(const std::vector<TIncludeDirective>& directives,
                                       const std::string& scriptFolder,
                                       const std::string& includeFolder) {
  TWalk walk;
  ++walk_;
  std::set<std::pair<uint64_t, uint64_t>> read;  // device and inode of each file read
  std::string signature;
  auto heading = [&](const std::string& path) {
    for (const std::string& folder : {scriptFolder, includeFolder})
      if (!folder.empty() && path.size() > folder.size() + 1 &&
          path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/')
        return CodePage().FromUtf8(path.substr(folder.size() + 1));
    return CodePage().FromUtf8(path);
  };
  // Depth first, in the order the directives stand, as the compiler reads.
  struct TFrame {
    const std::vector<TIncludeDirective>* Includes;
    size_t Next;
    std::string Folder;
  };
  std::vector<TFrame> stack{{&directives, 0, scriptFolder}};
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (top.Next >= top.Includes->size()) {
      stack.pop_back();
      continue;
    }
    const TIncludeDirective& d = (*top.Includes)[top.Next++];
    std::vector<std::string> folders;
    for (const std::string& f : {top.Folder, scriptFolder, includeFolder})
      if (!f.empty() && std::find(folders.begin(), folders.end(), f) == folders.end())
        folders.push_back(f);
    TFilePtr file;
    std::string error;
    for (const std::string& folder : folders) {
      for (const std::string& name : HasExtension(d.Name)
                                         ? std::vector<std::string>{d.Name}
                                         : std::vector<std::string>{d.Name + ".inc", d.Name}) {
        std::string path = Join(folder, name);
        bool listed = Folder(path) == includeFolder && EndsWithIncNoCase(path) &&
                      path.find('/', includeFolder.size() + 1) == std::string::npos;
        file = Load(path, heading(path), listed, error);
        if (file || !error.empty()) break;
      }
      if (file || !error.empty()) break;
    }
    if (!file) {
      if (error.empty() && !d.Try) error = "Include file \"" + d.Name + "\" not found";
      if (!error.empty()) {
        signature += error + '\n';
        walk.Errors.push_back(std::move(error));
      }
      continue;
    }
    if (!read.insert({file->Device, file->Inode}).second) continue;  // read once; ends cycles
    signature +=
        file->Path + '\0' + std::to_string(file->Size) + '\0' + std::to_string(file->MTime) + '\n';
    // The cache holds the file to the walk's end, so the frame's list stays.
    if (stack.size() < kMaxDepth) stack.push_back({&file->Includes, 0, Folder(file->Path)});
    walk.Files.push_back(std::move(file));
  }
  // Files no longer included are forgotten.
  std::erase_if(cache_, [this](const auto& entry) { return entry.second.Walk != walk_; });
  walk.Changed = signature != lastSignature_;
  lastSignature_ = std::move(signature);
  return walk;
}

TIncludeScan CombineTree(const TIncludeTree::TWalk& walk,
                         const std::unordered_map<std::string, int>* known) {
  TIncludeScan out;
  for (const TIncludeTree::TFilePtr& file : walk.Files) {
    if (file->Listed) continue;
    const TIncludeScan& scan = file->Scan;
    int docBase = static_cast<int>(out.Docs.size());
    out.Docs.insert(out.Docs.end(), scan.Docs.begin(), scan.Docs.end());
    auto shifted = [docBase](int doc) { return doc < 0 ? doc : doc + docBase; };
    if (out.FileCount > 0) {
      out.Rows.push_back(" ");
      out.InfoList.Add("");
      out.RowDocs.push_back(-1);
    }
    for (size_t r = 0; r < scan.Rows.size(); ++r) {
      out.Rows.push_back(scan.Rows[r]);
      out.InfoList.Add(scan.InfoList.Get(static_cast<int>(r)));
      out.RowDocs.push_back(shifted(scan.RowDocs[r]));
    }
    for (int k = 0; k < scan.NameList.Count(); ++k) {
      const std::string name = scan.NameList.Get(k), hint = scan.ParamList.Get(k);
      if (known && known->count(EntryKey(name, hint))) continue;
      AddEntry(out, name, scan.ItemList.Get(k), hint,
               shifted(scan.NameDocs[static_cast<size_t>(k)]));
    }
    ++out.FileCount;
  }
  return out;
}

}  // namespace ludra
