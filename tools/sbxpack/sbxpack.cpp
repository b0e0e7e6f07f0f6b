// sbxpack - makes, lists and unpacks .sbx media archives.
//
//   sbxpack create OUT.sbx FILE...     new archive; entry name = the file's last path component
//   sbxpack list X.sbx                 one line per entry: name, data offset, stored size
//   sbxpack extract X.sbx ENTRY OUT    unpacks one entry (matched like the game does)
//   sbxpack append TARGET FILE...      appends an archive to TARGET, offsets counted from the end
//
// The format itself lives in the core library (core/sbx_format.h), so the
// packer writes exactly what the game reads.

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/media_source.h"
#include "core/sbx_format.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: sbxpack create OUT.sbx FILE...\n"
                         "       sbxpack list X.sbx\n"
                         "       sbxpack extract X.sbx ENTRY OUTFILE\n"
                         "       sbxpack append TARGET FILE...\n");
    return 2;
}

int fail(const char* what, const std::string& name)
{
    std::fprintf(stderr, "sbxpack: %s: %s\n", what, name.c_str());
    return 1;
}

// Reads every input; each becomes the entry named by its last path component.
int collect_inputs(int count, char** files, std::vector<SbxInput>& entries)
{
    for (int i = 0; i < count; ++i) {
        SbxInput input;
        input.name = last_path_component(files[i]);
        if (!sbx_entry_name_is_safe(input.name)) return fail("unusable entry name", files[i]);
        for (const SbxInput& earlier : entries) {
            // Lookups ignore case, so a second entry of the same name would be unreachable.
            if (sbx_names_match(earlier.name, input.name))
                return fail("duplicate entry name", input.name);
        }
        if (!read_whole_media(files[i], input.data)) return fail("cannot read", files[i]);
        entries.push_back(std::move(input));
    }
    return 0;
}

// The runtime writes its files private to the user; an archive is media to be
// installed and shared, so a new one is made readable by everyone.
bool make_readable_by_all(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH) == 0;
    return ::close(fd) == 0 && ok;
}

int write_archive(const std::string& target, int count, char** files, bool append)
{
    std::vector<SbxInput> entries;
    if (int status = collect_inputs(count, files, entries)) return status;
    MemoryBlock archive;
    if (!sbx_build(entries, append, archive)) return fail("archive too large", target);
    if (append && !media_name_exists(target.c_str())) return fail("no such file", target);
    if (!write_whole_file(target, archive.data(), archive.size(), append))
        return fail("cannot write", target);
    if (!append && !make_readable_by_all(target)) return fail("cannot set the mode of", target);
    return 0;
}

bool open_archive(const char* path, SbxSource& source, SbxDirectory& directory)
{
    return sbx_open(path, source) && sbx_read_trailer(source, directory);
}

int list_archive(const char* path)
{
    SbxSource source;
    SbxDirectory directory;
    if (!open_archive(path, source, directory)) return fail("not an .sbx archive", path);
    std::int64_t cursor = directory.start;
    SbxEntry entry;
    while (sbx_next_entry(source, directory, cursor, entry)) {
        std::printf("%s\t%d\t%d\n", entry.name.c_str(), static_cast<int>(entry.offset),
                    static_cast<int>(entry.stored_size));
    }
    return 0;
}

int extract_entry(const char* path, const char* wanted, const char* out_path)
{
    SbxSource source;
    SbxDirectory directory;
    SbxEntry entry;
    MemoryBlock bytes;
    if (!open_archive(path, source, directory)) return fail("not an .sbx archive", path);
    if (!sbx_find_entry(source, directory, last_path_component(wanted), entry))
        return fail("no such entry", wanted);
    if (sbx_unpack(source, entry, bytes) != SbxUnpack::unpacked)
        return fail("damaged entry", entry.name);
    if (!write_whole_file(out_path, bytes.data(), bytes.size(), false))
        return fail("cannot write", out_path);
    return 0;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return usage();
    std::string command = argv[1];
    if (command == "create" && argc >= 4) return write_archive(argv[2], argc - 3, argv + 3, false);
    if (command == "append" && argc >= 4) return write_archive(argv[2], argc - 3, argv + 3, true);
    if (command == "list" && argc == 3) return list_archive(argv[2]);
    if (command == "extract" && argc == 5) return extract_entry(argv[2], argv[3], argv[4]);
    return usage();
}
