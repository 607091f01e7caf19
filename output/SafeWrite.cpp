#include "output/SafeWrite.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace vandrel {

namespace {

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Writes, flushes and closes; any error along the way counts.
bool WriteFlushClose(int fd, std::string_view content) {
    bool ok = WriteAll(fd, content);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save really replaces: symbolic links are followed link by link to
// their target, which need not exist yet, so the links themselves stay. Empty
// for a loop of links.
std::string ResolveTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) return current;
        current = next.is_absolute() ? next.string() : FolderOf(current) + "/" + next.string();
    }
    return {};
}

// Writing in place truncates the old file first, so it must not start when the
// content cannot fit under the process's file-size limit.
bool FitsSizeLimit(std::string_view content) {
    struct rlimit limit {};
    return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           content.size() <= limit.rlim_cur;
}

bool WriteInPlace(const std::string& target, std::string_view content) {
    if (!FitsSizeLimit(content)) return false;
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    return WriteFlushClose(fd, content);
}

}  // namespace

bool WriteFileSafely(const std::string& path, std::string_view content) {
    if (path.empty()) return false;
    const std::string target = ResolveTarget(path);
    if (target.empty()) return false;

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return false;
        // A write-protected file is reported, never replaced by renaming over it.
        int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) return false;
        ::close(probe);
    }

    std::string pattern = FolderOf(target) + "/.vandrel-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        // Only a folder that forbids new files is a reason to write in place; a
        // full disk or a lack of inodes would leave the old file half overwritten.
        if (errno != EACCES && errno != EPERM) return false;
        return WriteInPlace(target, content);
    }
    const std::string temporary(name.data());

    mode_t mode = 0666;
    if (exists) {
        mode = old.st_mode & 07777;
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) { /* keeps our ownership */ }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    ok = WriteFlushClose(fd, content) && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace vandrel
