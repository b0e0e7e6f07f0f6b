/*
 * fuzz_archive.cpp - media archives as the game reads them: the bytes
 * mounted as the general and the music archive, and every entry the
 * directory lists asked for by name, the way the loaders ask: unpacked to
 * memory (pictures, sounds, file channels) and to a temporary file (music),
 * then read back whole.
 */
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "core/sbx_format.h"
#include "fuzz_support.h"

namespace {

// The names asked for: those of the directory (at most this many), then one
// that no archive holds.
constexpr std::size_t MAX_NAMES = 64;

std::vector<std::string> listed_names(const std::string& archive)
{
    std::vector<std::string> names;
    SbxSource source;
    SbxDirectory directory;
    if (sbx_open(archive.c_str(), source) && sbx_read_trailer(source, directory)) {
        std::int64_t cursor = directory.start;
        SbxEntry entry;
        while (names.size() < MAX_NAMES && sbx_next_entry(source, directory, cursor, entry))
            names.push_back(entry.name);
    }
    names.emplace_back("no such entry.png");
    return names;
}

void read_back(ArchiveRecord& record, const std::string& name, bool to_memory)
{
    std::string resolved;
    if (!resolve_media_path(record, name.c_str(), resolved, to_memory)) return;
    std::vector<unsigned char> bytes;
    if (!read_whole_media(resolved.c_str(), bytes) && !resolved.empty()) {
        std::fprintf(stderr, "resolved entry %s cannot be read\n", resolved.c_str());
        std::abort();
    }
}

void open_entries(const std::uint8_t* data, std::size_t size)
{
    InputBlock input(data, size);
    mount_archives(input.name.c_str(), input.name.c_str());
    for (const std::string& name : listed_names(input.name)) {
        // Lookups go by the last path component; the folder holds no plain
        // file that could answer first.
        const std::string request = temp_folder() + "none/" + last_path_component(name.c_str());
        read_back(general_archive(), request, true);
        read_back(music_archive(), request, false);
    }
    archives_shutdown();
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    use_private_temp_folder();
    return 0;
}

SNOW_FUZZ_TARGET(open_entries)
