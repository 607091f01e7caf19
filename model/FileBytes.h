#pragma once
// Reading whole files. This and the safe writing of files are the program's only
// code on the operating system's file interface (POSIX); everything else is
// standard C++. A path that names a folder, a pipe or a device, or any file that
// cannot be opened for reading, gives no content.
#include <optional>
#include <string>

#include "model/Lines.h"

namespace vandrel {

// The whole file in one block; null when it cannot be opened or a read fails.
SharedText ReadTextFile(const std::string& path);

// The same as a string, for small files (settings, side files).
std::optional<std::string> ReadFileBytes(const std::string& path);

// Asks for the memory of a large array to be given in huge pages: filling tens of
// megabytes page by page costs more than the work done in them.
void PreferHugePages(void* data, size_t bytes);

// True when the path names a file that can be opened for reading.
bool CanOpenForReading(const std::string& path);

}  // namespace vandrel
