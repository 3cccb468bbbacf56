#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// The sanitizers reserve far more address space than a limit on it allows.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TALU_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TALU_UNDER_SANITIZER 1
#endif
#endif
#ifndef TALU_UNDER_SANITIZER
#define TALU_UNDER_SANITIZER 0
#endif

namespace talu::test {

/// Runs body in a child process and tells whether it returned true within the time given. A
/// body that hangs (a read from a pipe nobody writes) is killed by the alarm; one that grows
/// without end (a read of /dev/zero) by the memory limit, where no sanitizer needs the space.
inline bool FinishesInTime(const std::function<bool()>& body, unsigned seconds = 10) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(seconds);
#if !TALU_UNDER_SANITIZER
        const rlimit memory{rlim_t{2} << 30, rlim_t{2} << 30};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace talu::test
