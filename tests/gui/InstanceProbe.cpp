// Claims the single-instance name the way the program does and says what came
// of it on standard output: "first", "running" or "unavailable". A first claim
// is then held until the probe is killed.
//   vandrel_instance_probe NAME [--with-child]
// --with-child starts a long-lived child first and prints its process id after
// the answer.
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
    const bool withChild = argc > 2 && std::strcmp(argv[2], "--with-child") == 0;
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
