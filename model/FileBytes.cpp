#include "model/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vandrel {

namespace {

// Opens a path for reading. Folders, pipes and devices count as files that cannot
// be opened: only a regular file holds a model (and a pipe would block forever).
int OpenReadable(const std::string& path) {
    if (path.empty()) return -1;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    int fd = OpenReadable(path);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

bool ReadFilePieces(const std::string& path, const std::function<bool(std::string_view)>& take) {
    int fd = OpenReadable(path);
    if (fd < 0) return false;
    std::string buffer(size_t{1} << 18, '\0');
    bool ok = true;
    for (;;) {
        ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0 || !take(std::string_view(buffer.data(), static_cast<size_t>(got)))) break;
    }
    ::close(fd);
    return ok;
}

bool CanOpenForReading(const std::string& path) {
    int fd = OpenReadable(path);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace vandrel
