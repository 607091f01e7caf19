#pragma once
// The single-instance guard: one copy of the program per user session.
#include <string>

namespace vandrel {

enum class InstanceClaim {
    First,           // this process now holds the name, until it ends
    AlreadyRunning,  // another live process of this user holds it
    Unavailable,     // the system offers no such object; the program runs anyway
};

// Claims `name` for the lifetime of the process. The name is held by an
// abstract Unix socket "\0<name>.<uid>" that is never closed: the kernel frees
// it when the process ends, however it ends (SIGKILL and crashes included), and
// child processes such as the help viewer do not inherit it.
InstanceClaim ClaimSingleInstance(const std::string& name);

}  // namespace vandrel
