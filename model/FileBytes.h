#pragma once
// Reading whole files. A path that names a folder, or any file that cannot be
// opened for reading, gives no content.
#include <optional>
#include <string>

namespace vandrel {

std::optional<std::string> ReadFileBytes(const std::string& path);

// True when the path names a file that can be opened for reading.
bool CanOpenForReading(const std::string& path);

}  // namespace vandrel
