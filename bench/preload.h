/*
 * preload.h - what the preloaded benchmark libraries (frame_log.cpp,
 * gl_count.cpp) share: opening the file an environment variable names, and
 * passing an intercepted call on to the next definition, so several of them
 * can be preloaded together and the program still gets every call.
 *
 * Not for: anything the game or the tests link.
 */
#pragma once

#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>

// The file named by the environment variable, opened for appending from the
// start; -1 when the variable is unset or the file cannot be made.
inline int open_log_named(const char* variable)
{
    const char* path = std::getenv(variable);
    return path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644) : -1;
}

template <typename Function>
Function next_definition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Inside an interposed function: calls the definition it hides, with the
// same arguments.  The lookup is done once per function.
#define CALL_NEXT_DEFINITION(function, ...)                                                        \
    do {                                                                                           \
        static const auto next = next_definition<decltype(&function)>(#function);                  \
        next(__VA_ARGS__);                                                                         \
    } while (0)
