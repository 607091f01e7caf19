#include "app/cli/OutputDevices.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace vandrel {

namespace {

// The folder of the running executable.
std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string exe(path, size_t(n));
    return exe.substr(0, exe.rfind('/'));
}

}  // namespace

const OutputDevices* LoadOutputDevices(std::string& problem) {
    static std::string failure;
    static const OutputDevices* devices = [] () -> const OutputDevices* {
        const std::string folder = ExecutableFolder();
        // Beside the executable in a build, in the library folder when installed.
        for (const std::string& candidate : {folder + "/" VANDREL_DEVICES_FILE,
                                             folder + "/" VANDREL_DEVICES_INSTALLED "/" VANDREL_DEVICES_FILE}) {
            void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) {
                failure = ::dlerror();
                continue;
            }
            auto entry = reinterpret_cast<const OutputDevices* (*)()>(::dlsym(module, "VandrelOutputDevices"));
            if (entry) return entry();
            failure = "no entry point in " + candidate;
        }
        return nullptr;
    }();
    if (!devices) problem = failure;
    return devices;
}

}  // namespace vandrel
