#pragma once
// Saving a file without ever losing the old one.
#include <functional>
#include <string>

#include "buffer/SynEditTextBuffer.h"

namespace ludra {

// Writes a file through the writer callback. A symbolic link is followed
// to the file it names and stays a link. A file that may not be written is
// refused as a direct write would refuse it ("Cannot create file ...").
// Normally a temporary file beside the target is written and renamed over
// it, so a failure leaves the old file as it was. When a rename cannot keep
// the file's identity (other hard links, a folder that takes no new file,
// an owner or group the new file could not get) the file is written in
// place instead, after a copy of its old contents is kept; a failure puts
// the old contents back, or names the copy that holds them. Every error
// names fileName, never a temporary file.
void SaveFileSafely(const std::string& fileName,
                    const std::function<void(TSynEditFileWriter&)>& write);

}  // namespace ludra
