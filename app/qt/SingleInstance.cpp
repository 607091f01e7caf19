#include "app/qt/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vandrel {

InstanceClaim ClaimSingleInstance(const std::string& name) {
    const std::string key = name + "." + std::to_string(::getuid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract name starts with a NUL byte and is not a file.
    if (key.size() + 1 > sizeof(address.sun_path)) return InstanceClaim::Unavailable;
    std::memcpy(address.sun_path + 1, key.data(), key.size());
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + key.size());

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return InstanceClaim::Unavailable;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
        return InstanceClaim::First;  // the descriptor stays open to the end of the process
    const int error = errno;
    ::close(fd);
    return error == EADDRINUSE ? InstanceClaim::AlreadyRunning : InstanceClaim::Unavailable;
}

}  // namespace vandrel
