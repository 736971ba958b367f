#pragma once
// The association of *.pwn files with the program on the desktop: the
// freedesktop items in the user's data and config directories that make a
// file manager open a script in this program.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ludra {

// The program's icon (SVG), built into the program.
extern const char kLudraIconSvg[];

// Where the user's desktop files live.
struct TDesktopDirs {
  std::string DataHome;    // $XDG_DATA_HOME, else ~/.local/share
  std::string ConfigHome;  // $XDG_CONFIG_HOME, else ~/.config
};

// The user's directories from the environment; a relative or empty
// XDG_DATA_HOME / XDG_CONFIG_HOME counts as unset.
TDesktopDirs UserDesktopDirs();

// The Exec value of a desktop entry that runs program with one file: the
// path, quoted when it holds a character the entry's rules reserve, then
// "%f"; escaped as a desktop-entry string value.
std::string DesktopExecValue(const std::string& program);

// The path a symbolic link holds; empty for anything else.
std::string LinkTarget(const std::string& path);

// Runs a program by its name in PATH's absolute folders (or its path) with
// the arguments, detached from this process, its output discarded; does not
// wait for it. A program that is not installed is skipped.
void StartDetached(const std::vector<std::string>& argv);

class TFileAssociation {
 public:
  static constexpr const char* MimeType = "text/x-pawn";
  static constexpr const char* DesktopId = "ludra.desktop";

  // program: the full path of the program file the association runs.
  TFileAssociation(std::string program, TDesktopDirs dirs);

  // Writes the program's icon, its desktop entry, the MIME type for *.pwn and
  // the default-application entry, in that order. An item that already holds
  // what would be written is left alone; the desktop's MIME and desktop-entry
  // caches are refreshed when something changed. A write the system refuses
  // raises ERegistryException and stops there. Answers a note for the user
  // when a file of theirs stood in the launcher's place and was kept; empty
  // otherwise.
  std::string Register();
  // Removes what Register wrote, only when the desktop entry names this
  // program; otherwise (another program's association, or none) nothing
  // changes. The default-application entry goes only when it names our
  // desktop entry. A removal the system refuses raises ERegistryException.
  void Unregister();
  // Whether the desktop entry exists and runs this program.
  bool OwnsDesktopEntry() const;

  std::string IconPath() const;
  std::string DesktopEntryPath() const;
  std::string MimePackagePath() const;
  std::string MimeAppsPath() const;
  std::string DesktopEntryText() const;
  static std::string MimePackageText();

  // The program the desktop entry runs: this program, or the launcher when
  // this program's path needs quoting in the entry (simple openers take
  // the entry's first word as the program), the launcher's does not, and
  // nothing but a link stands in its place.
  std::string ExecProgram() const;
  // Something other than a link stands where the launcher would go: the
  // user's, so it is kept and the entry quotes the program instead.
  bool LauncherPlaceTaken() const;
  // A symbolic link to the program in the user's data directory.
  std::string LauncherPath() const;

  // Starts the cache refresh tools; tests run them in place or record them.
  std::function<void(const std::vector<std::string>& argv)> RunTool = StartDetached;

 private:
  // Points the launcher at this program when the entry runs it.
  void WriteLauncher() const;
  // Removes the launcher when it points at this program.
  void RemoveLauncher() const;
  // What Register tells when the launcher's place is taken; empty otherwise.
  std::string KeptLauncherNote() const;
  // Applies change to our MIME type's value in every group of defaults.
  void UpdateDefaults(
      const std::function<std::optional<std::string>(const std::optional<std::string>&)>& change)
      const;

  std::string program_;
  TDesktopDirs dirs_;
};

}  // namespace ludra
