#pragma once
// Real file-system faults for the saving tests: immutable files and folders, an
// unprivileged owner, and the names a folder holds.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace vandrel::test {

inline constexpr uid_t kNobody = 65534;

inline std::set<std::string> NamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// Hands a file or folder to the unprivileged user (nobody) when the tests run as root.
inline void GiveToUnprivileged(const std::string& path) {
    if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown " << path;
}

// Sets the immutable flag of a file or folder for the life of the object.
class Immutable {
public:
    explicit Immutable(const std::string& path) : path_(path) { set_ = Change(true); }
    ~Immutable() {
        if (set_) Change(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool IsSet() const { return set_; }

private:
    bool Change(bool on) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }
    std::string path_;
    bool set_ = false;
};

}  // namespace vandrel::test
