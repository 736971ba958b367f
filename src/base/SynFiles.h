#pragma once
// Reading files the user or the program directory names, safely: only
// regular files are opened, and opening never waits (a FIFO with no writer,
// a device), so no file can freeze or exhaust the window.
#include <cstddef>
#include <string>

namespace ludra {

// The reason given for a file that exists but is not a regular file.
extern const char* const kNotARegularFile;

// Opens a regular file for reading (close-on-exec). Returns the descriptor,
// or -1 with a reason: the system's text for errno, or kNotARegularFile
// for a directory, FIFO, socket or device, which is never opened for real.
// On failure errno is ENOENT when nothing has that name.
int OpenRegularFile(const std::string& path, std::string& reason);
// The same for name in the folder open as dirFd (AT_FDCWD: the current one),
// so files of one folder are opened without looking the folder up each time.
int OpenRegularFileAt(int dirFd, const std::string& name, std::string& reason);

// A file that reports a size of 0 but is not empty (procfs and sysfs files)
// is read up to this many bytes: some never end (/proc/self/pagemap), and
// no script or include file comes near it.
inline constexpr size_t kMaxUnsizedFileBytes = size_t{64} << 20;
// The reason given for such a file that goes on past the cap.
extern const char* const kFileTooLarge;

// True when the path names a regular file (following symbolic links).
bool IsRegularFile(const std::string& path);

// Reads a whole regular file. False with a reason when it cannot be opened
// or read (also when memory runs out); a missing file sets missing.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     bool* missing = nullptr);

// How reading a whole file ended: read, nothing of that name, not opened
// (not a regular file, no permission), or opened and then not read.
enum class TFileRead { Ok, Missing, NotOpened, NotRead };
// Reads the whole regular file name in the folder open as dirFd (AT_FDCWD:
// the current one); anything but Ok comes with a reason.
TFileRead ReadRegularFileAt(int dirFd, const std::string& name, std::string& bytes,
                            std::string& reason);

}  // namespace ludra
