#pragma once
// Reading whole files. A path that names a folder, or any file that cannot be
// opened for reading, gives no content.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

std::optional<std::string> ReadFileBytes(const std::string& path);

// Reads the file from its start in pieces of a fixed size and hands each to
// `take`, which returns false to stop early. A large file is never held whole,
// so reading it costs no more memory than one piece. False when the file cannot
// be opened or a read fails.
bool ReadFilePieces(const std::string& path, const std::function<bool(std::string_view)>& take);

// True when the path names a file that can be opened for reading.
bool CanOpenForReading(const std::string& path);

}  // namespace vandrel
