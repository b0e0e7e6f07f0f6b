/*
 * log.cpp - "ErrorLog.txt" in the temporary folder.
 *
 * Needs: paths.h for the folder and the link-safe open; host_files.h.
 */
#include "core/log.h"

#include <cstring>
#include <unistd.h>   // write, close

#include "core/host_files.h"
#include "core/paths.h"

namespace {
const char* const LOG_NAME = "ErrorLog.txt";
const int LOG_ATTEMPTS = 5;
const std::size_t LOG_EXCERPT_LENGTH = 40;
}   // namespace

std::string log_path()
{
    const std::string& folder = temp_folder();
    return folder.empty() ? std::string() : folder + name_for_instance(LOG_NAME);
}

void log_delete()
{
    std::string path = log_path();
    if (!path.empty()) host_remove_file(path);
}

void log_line(const char* text)
{
    std::string path = log_path();
    if (path.empty()) return;
    std::string line = std::string(text) + "\r\n";
    for (int attempt = 0; attempt < LOG_ATTEMPTS; ++attempt) {
        int fd = open_file_nofollow(path, false);
        if (fd < 0) continue;
        ssize_t written = write(fd, line.data(), line.size());
        close(fd);
        (void)written;   // a short write is as silent as a failed open
        return;
    }
}

std::string log_excerpt(const std::string& line)
{
    std::string shown = line.substr(0, LOG_EXCERPT_LENGTH);
    for (char& c : shown)
        if (c < ' ' || c > '~') c = '?';
    return shown;
}
