/*
 * test_host_posix.cpp - test_host.h on Linux: mkdtemp under /tmp, setenv,
 * TMPDIR.
 */
#include <cstdlib>
#include <unistd.h>

#include "support/test_host.h"

const char* const TEMP_FOLDER_VARIABLE = "TMPDIR";

std::string make_test_folder()
{
    char pattern[] = "/tmp/snowtest-XXXXXX";
    return ::mkdtemp(pattern) ? std::string(pattern) + "/" : std::string();
}

void set_environment(const char* name, const char* value, bool replace)
{
    if (value)
        ::setenv(name, value, replace ? 1 : 0);
    else
        ::unsetenv(name);
}

int test_process_id()
{
    return static_cast<int>(::getpid());
}

std::string runtime_temp_folder_in(const std::string& folder)
{
    return folder;
}
