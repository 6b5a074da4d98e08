#pragma once

#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `step` with the rights of an ordinary user and gives its result. Root may read and write
// anything, so under root the step runs in a child process that has dropped to "nobody" (the
// files it touches must be reachable for that user); otherwise it runs here. -1 when the child
// could not drop its rights.
inline int AsOrdinaryUser(const std::function<bool()>& step)
{
    if (::geteuid() != 0)
        return step() ? 1 : 0;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(step() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 2)
        return -1;
    return WEXITSTATUS(status);
}
