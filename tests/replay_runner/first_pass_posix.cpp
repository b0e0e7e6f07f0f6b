/*
 * first_pass_posix.cpp - first_pass.h with fork and a pipe.
 */
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "replay_runner/first_pass.h"

bool run_first_pass(int, char**, void (*play_undrawn)(int report_fd), std::string* report)
{
    int ends[2];
    if (pipe(ends) != 0) return false;
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(ends[0]);
        play_undrawn(ends[1]);
    }
    close(ends[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) report->append(buffer, n);
    close(ends[0]);
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
