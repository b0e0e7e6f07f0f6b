/*
 * fuzz_media_name.cpp - media names as every loader and file channel
 * resolves them: "mem://" names (of live, released or no blocks, with true or
 * false lengths) and plain names, through the general archive, then read
 * whole or opened on a channel.  A name may designate only what the runtime
 * handed out.  Plain names are looked for in this process's private folder
 * only, so no name reaches the rest of the file system.
 */
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/files.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "core/sbx_format.h"
#include "fuzz_support.h"

namespace {

void check(bool holds, const char* what, const std::string& name)
{
    if (holds) return;
    std::fprintf(stderr, "%s: \"%s\"\n", what, name.c_str());
    std::abort();
}

std::string name_of(const std::uint8_t* data, std::size_t size)
{
    std::string name(reinterpret_cast<const char*>(data), size);
    name.resize(std::min(name.find('\0'), name.size()));   // the loaders take C texts
    if (is_memory_name(name.c_str())) return name;
    return temp_folder() + last_path_component(name.c_str());
}

void resolve(const std::uint8_t* data, std::size_t size)
{
    const std::string name = name_of(data, size);
    const SharedBlock block = find_memory_block(name.c_str());
    if (block) check(media_name_exists(name.c_str()), "a block's name does not exist", name);
    std::string resolved;
    if (resolve_media_path(general_archive(), name.c_str(), resolved, true)) {
        std::vector<unsigned char> bytes;
        check(read_whole_media(resolved.c_str(), bytes), "a resolved name cannot be read", name);
    }
    if (open_file(0, name.c_str(), FILE_MODE_READ)) close_file(0);
    (void)file_exists(name.c_str());
}

// Blocks to be named: live ones of several sizes, one released, and an
// archive of two entries mounted as the general archive.
void register_blocks()
{
    register_memory_block(MemoryBlock());
    const unsigned released = register_memory_block(MemoryBlock(16, 'x'));
    register_memory_block(MemoryBlock(300, 'y'));
    release_memory_block(released);
    MemoryBlock archive;
    std::vector<SbxInput> entries(2);
    entries[0] = SbxInput{"a.png", MemoryBlock(40, 'a')};
    entries[1] = SbxInput{"B.wav", MemoryBlock(3, 'b')};
    if (sbx_build(entries, false, archive)) {
        const std::string name = memory_name(register_memory_block(archive));
        mount_archives(name.c_str(), name.c_str());
    }
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    use_private_temp_folder();
    register_blocks();
    return 0;
}

SNOW_FUZZ_TARGET(resolve)
