#include "platform/FileAssociation.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>

#include "base/SynExceptions.h"
#include "base/SynFiles.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"
#include "platform/ProgramFiles.h"
#include "platform/SynProfileFile.h"

extern char** environ;

namespace ludra {

namespace {

constexpr const char* kDefaultsSection = "Default Applications";

// Names the file that could not be written and why (errno of the failed step).
[[noreturn]] void RaiseRegistryError(const std::string& path) {
  std::string reason = errno ? std::string(std::strerror(errno)) : std::string("Access denied");
  throw ERegistryException(Format("Failed to set data for '%s'", path) + ". " + reason);
}

std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

// Only regular files are read, so a FIFO in an item's place cannot stall
// start-up.
bool ReadWhole(const std::string& path, std::string& text) {
  std::string reason;
  return ReadRegularFile(path, text, reason);
}

// Creates the directory and its missing parents.
bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
    return S_ISDIR(st.st_mode);
  }
  std::string parent = ExtractFileDir(dir);
  if (parent != dir && parent != "." && !MakeDirectories(parent)) return false;
  // New desktop directories are private to the user.
  return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

// Writes one item unless it already holds exactly this; true when written.
bool WriteItem(const std::string& path, const std::string& data) {
  std::string current;
  if (ReadWhole(path, current) && current == data) return false;
  errno = 0;
  if (!MakeDirectories(ExtractFileDir(path)) || !ReplaceFileAtomically(path, data))
    RaiseRegistryError(path);
  return true;
}

void RemoveItem(const std::string& path) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) RaiseRegistryError(path);
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The value of a key in the "[Desktop Entry]" group, as stored; false when
// the file or the key is missing.
bool DesktopEntryValue(const std::string& path, std::string_view key, std::string& value) {
  std::string text;
  if (!ReadWhole(path, text)) return false;
  std::istringstream lines(text);
  std::string line;
  bool inEntry = false;
  while (std::getline(lines, line)) {
    std::string_view t = TrimBlanks(line);
    if (t.starts_with('[')) {
      inEntry = t == "[Desktop Entry]";
      continue;
    }
    size_t eq = t.find('=');
    if (!inEntry || eq == std::string_view::npos || TrimBlanks(t.substr(0, eq)) != key) continue;
    value = std::string(TrimBlanks(t.substr(eq + 1)));
    return true;
  }
  return false;
}

// A list of desktop ids ("a.desktop;b.desktop;") without the given one.
std::string WithoutId(const std::string& list, const std::string& id, bool& found) {
  std::string rest;
  found = false;
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ';')) {
    std::string_view t = TrimBlanks(item);
    if (t.empty()) continue;
    if (t == id) {
      found = true;
      continue;
    }
    rest.append(t).append(";");
  }
  return rest;
}

}  // namespace

TDesktopDirs UserDesktopDirs() {
  std::string home = AbsoluteEnv("HOME");
  if (home.empty())
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  TDesktopDirs dirs;
  dirs.DataHome = AbsoluteEnv("XDG_DATA_HOME");
  if (dirs.DataHome.empty()) dirs.DataHome = home + "/.local/share";
  dirs.ConfigHome = AbsoluteEnv("XDG_CONFIG_HOME");
  if (dirs.ConfigHome.empty()) dirs.ConfigHome = home + "/.config";
  return dirs;
}

std::string DesktopExecValue(const std::string& program) {
  // The entry's rules: an argument holding a reserved character is quoted,
  // and inside the quotes '"', '`', '$' and '\' take a backslash; '%' is
  // doubled in any case, as it starts a field code.
  constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  bool quote = program.find_first_of(reserved) != std::string::npos;
  std::string arg = quote ? "\"" : "";
  for (char c : program) {
    if (c == '%')
      arg += "%%";
    else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
      arg.append(1, '\\').append(1, c);
    else
      arg += c;
  }
  if (quote) arg += '"';
  // Then the escapes of every string value of the file.
  std::string value;
  for (char c : arg) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      default:
        value += c;
    }
  }
  return value + " %f";
}

void StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return;
  std::string file = FindProgram(argv[0], ProgramSearchPath());
  if (file.empty()) return;
  // Everything the children need is prepared before forking: between fork
  // and exec only async-signal-safe calls are made.
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    // The middle process ends at once, so the tool is nobody's child to wait
    // for and the caller only waits for that end.
    setsid();
    if (fork() == 0) {
      int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      execve(file.c_str(), args.data(), environ);
      _exit(127);
    }
    _exit(0);
  }
  if (child > 0)
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

TFileAssociation::TFileAssociation(std::string program, TDesktopDirs dirs)
    : program_(std::move(program)), dirs_(std::move(dirs)) {}

std::string TFileAssociation::IconPath() const {
  return dirs_.DataHome + "/icons/hicolor/scalable/apps/ludra.svg";
}

std::string TFileAssociation::DesktopEntryPath() const {
  return dirs_.DataHome + "/applications/" + DesktopId;
}

std::string TFileAssociation::MimePackagePath() const {
  return dirs_.DataHome + "/mime/packages/ludra-pawn.xml";
}

std::string TFileAssociation::MimeAppsPath() const { return dirs_.ConfigHome + "/mimeapps.list"; }

std::string TFileAssociation::DesktopEntryText() const {
  return std::string(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Ludra\n"
             "GenericName=PAWN Script Editor\n"
             "Comment=Edit and compile PAWN scripts\n"
             "Exec=") +
         DesktopExecValue(ExecProgram()) +
         "\n"
         "Icon=ludra\n"
         "Terminal=false\n"
         "MimeType=text/x-pawn;\n"
         "Categories=Utility;TextEditor;\n";
}

std::string TFileAssociation::MimePackageText() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"text/x-pawn\">\n"
         "    <comment>PAWN Script</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <icon name=\"ludra\"/>\n"
         "    <glob pattern=\"*.pwn\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

bool TFileAssociation::OwnsDesktopEntry() const {
  std::string exec;
  if (!DesktopEntryValue(DesktopEntryPath(), "Exec", exec)) return false;
  const std::string runs = ExecProgram();
  return exec == DesktopExecValue(runs) && (runs == program_ || LinkTarget(runs) == program_);
}

std::string TFileAssociation::Register() {
  bool entryChanged = false, mimeChanged = false;
  // The caches follow whatever was written, also when a later write fails.
  auto refresh = [&] {
    if (mimeChanged) RunTool({"update-mime-database", dirs_.DataHome + "/mime"});
    if (entryChanged) RunTool({"update-desktop-database", dirs_.DataHome + "/applications"});
  };
  try {
    WriteItem(IconPath(), kLudraIconSvg);
    WriteLauncher();
    entryChanged = WriteItem(DesktopEntryPath(), DesktopEntryText());
    mimeChanged = WriteItem(MimePackagePath(), MimePackageText());
    // Ludra goes first; the other programs the user listed stay after it.
    // A second group of defaults (which some readers merge, the later value
    // winning) gets the same, so no reader finds a stale value.
    UpdateDefaults([](const std::optional<std::string>& current) {
      bool ours = false;
      return std::string(DesktopId) + ";" + WithoutId(current.value_or(""), DesktopId, ours);
    });
  } catch (...) {
    refresh();
    throw;
  }
  refresh();
  return KeptLauncherNote();
}

void TFileAssociation::UpdateDefaults(
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& change)
    const {
  // Its folder is made only for a value to write.
  TProfileFile mimeApps(MimeAppsPath(), true);
  errno = 0;
  try {
    mimeApps.UpdateEvery(kDefaultsSection, MimeType, change);
  } catch (const EIniFileException&) {
    RaiseRegistryError(MimeAppsPath());
  }
}

void TFileAssociation::Unregister() {
  if (!OwnsDesktopEntry()) return;
  bool mimeRemoved = false;
  auto refresh = [&] {
    if (mimeRemoved) RunTool({"update-mime-database", dirs_.DataHome + "/mime"});
    RunTool({"update-desktop-database", dirs_.DataHome + "/applications"});
  };
  // The desktop entry goes last: it is what marks the rest as ours, so a
  // removal that fails half-way can be done again.
  try {
    UpdateDefaults([](const std::optional<std::string>& current) -> std::optional<std::string> {
      bool ours = false;
      std::string rest = WithoutId(current.value_or(""), DesktopId, ours);
      if (!ours) return current;
      return rest.empty() ? std::nullopt : std::optional(rest);
    });
    RemoveItem(MimePackagePath());
    mimeRemoved = true;
    RemoveItem(IconPath());
    RemoveItem(DesktopEntryPath());
    RemoveLauncher();
  } catch (...) {
    refresh();
    throw;
  }
  refresh();
}

}  // namespace ludra
