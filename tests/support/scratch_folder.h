/*
 * scratch_folder.h - throw-away folders, byte files and environment
 * variables for tests.
 *
 * ScratchFolder makes a fresh folder under the system's /tmp and removes it
 * with everything in it at the end of the test.  TempFolderOverride points
 * the runtime's temporary folder (TMPDIR) at a folder of the test's own, so a
 * test can see exactly which files the runtime leaves there.  EnvOverride
 * sets (or, given null, removes) one environment variable while it lives.
 *
 * Callers: tests that read and write files.  Not for: the runtime itself.
 */
#pragma once

#include <string>
#include <vector>

struct ScratchFolder {
    std::string path;   // ends in "/"

    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // path + relative, with any missing folders on the way created.
    std::string file(const std::string& relative) const;
};

struct EnvOverride {
    std::string name;
    std::string saved;
    bool had_saved = false;

    EnvOverride(const char* variable, const char* value);
    ~EnvOverride();
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;
};

struct TempFolderOverride {
    std::string folder;   // the runtime's temporary folder while this lives
    EnvOverride tmpdir;

    explicit TempFolderOverride(const std::string& folder);
    ~TempFolderOverride();
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;
};

std::vector<unsigned char> bytes_of(const std::string& text);
void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> read_bytes(const std::string& path);
bool path_exists(const std::string& path);

// Names in folder (not recursive) that begin with prefix, sorted.
std::vector<std::string> names_starting_with(const std::string& folder, const std::string& prefix);
