#pragma once
// The one way the program writes a file: the whole new content goes to a
// temporary file beside the target, is flushed to disk, and then replaces the
// target in one step. A failure anywhere leaves the old file as it was.
#include <string>
#include <string_view>

namespace vandrel {

// Returns false when the content could not be written completely; the target is
// then unchanged (or, where no temporary file can be made beside it and the file
// itself is writable, written in place with every error detected). A read-only
// target is never replaced. A symbolic link is written through to its target.
bool WriteFileSafely(const std::string& path, std::string_view content);

}  // namespace vandrel
