// Claims the single-instance name the way the program does and says what came
// of it on standard output: "first", "running" or "unavailable". A first claim
// is then held until the probe is killed.
//   vandrel_instance_probe NAME [--as-uid UID] [--with-child]
// --as-uid switches to another user before claiming (needs root); --with-child
// starts a long-lived child first and prints its process id after the answer.
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/qt/SingleInstance.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string name = argv[1];
    bool withChild = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--as-uid") == 0 && i + 1 < argc) {
            if (::setuid(uid_t(std::atoi(argv[++i]))) != 0) return 3;
        } else if (std::strcmp(argv[i], "--with-child") == 0) {
            withChild = true;
        }
    }
    const vandrel::InstanceClaim claim = vandrel::ClaimSingleInstance(name);
    pid_t child = 0;
    if (withChild) {
        // Like the help viewer started from the program: it outlives its parent.
        // The answer waits until the child runs its own program: a pipe that
        // closes on exec tells when that has happened.
        int started[2];
        if (::pipe2(started, O_CLOEXEC) != 0) return 4;
        child = ::fork();
        if (child == 0) {
            ::execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(started[1]);
        char ignored;
        while (::read(started[0], &ignored, 1) > 0) {
        }
        ::close(started[0]);
    }
    const char* word = claim == vandrel::InstanceClaim::First            ? "first"
                       : claim == vandrel::InstanceClaim::AlreadyRunning ? "running"
                                                                         : "unavailable";
    if (withChild)
        std::printf("%s %d\n", word, int(child));
    else
        std::printf("%s\n", word);
    std::fflush(stdout);
    if (claim != vandrel::InstanceClaim::First) return 0;
    for (;;) ::pause();
}
