#include "core/archive.h"

#include "core/host_files.h"
#include "core/log.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "core/sbx_format.h"

namespace {

ArchiveRecord the_general_archive;
ArchiveRecord the_music_archive;

constexpr int LETTERS = 26;

char name_letter(std::int32_t value)
{
    return static_cast<char>('A' + (static_cast<std::uint32_t>(value) & 0xFFu) % LETTERS);
}

// Frees the block or deletes the temporary file of the last extraction.
void release_extraction(ArchiveRecord& record)
{
    release_memory_block(record.memory_block);
    record.memory_block = 0;
    if (!record.temp_file.empty()) host_remove_file(record.temp_file);
    record.temp_file.clear();
}

void mount(ArchiveRecord& record, const char* path)
{
    record.enabled = true;
    release_extraction(record);
    record.archive_path = path != nullptr ? path : "";
}

bool keep_in_memory(ArchiveRecord& record, MemoryBlock bytes, std::string& out)
{
    record.memory_block = register_memory_block(std::move(bytes));
    out = memory_name(record.memory_block);
    return record.memory_block != 0;
}

// The text for the log: bytes outside printable ASCII (an entry name comes
// from the archive) become '?', so no name can forge a line.
std::string printable(std::string text)
{
    for (char& c : text)
        if (c < ' ' || c > '~') c = '?';
    return text;
}

// The entry name comes from an untrusted archive: it must stay a plain file
// name inside the temporary folder.  A folder that is full or cannot be
// written leaves no file behind and one line in the log.
bool keep_in_temp_file(ArchiveRecord& record, const SbxEntry& entry, const MemoryBlock& bytes,
                       std::string& out)
{
    if (!sbx_entry_name_is_safe(entry.name) || temp_folder().empty()) return false;
    std::string path = temp_name_for_entry(entry.offset, entry.stored_size, entry.name);
    if (!write_whole_file(path, bytes.data(), bytes.size(), false)) {
        log_line(printable("Cannot extract " + entry.name + " to " + path).c_str());
        return false;
    }
    record.temp_file = path;
    out = path;
    return true;
}

bool extract_entry(ArchiveRecord& record, const SbxSource& source, const char* name, bool to_memory,
                   std::string& out)
{
    SbxDirectory directory;
    SbxEntry entry;
    if (!sbx_read_trailer(source, directory) ||
        !sbx_find_entry(source, directory, last_path_component(name), entry))
        return false;
    MemoryBlock bytes;
    // A stream that does not decompress still resolves, to an empty result.
    if (sbx_unpack(source, entry, bytes) == SbxUnpack::unreadable) return false;
    return to_memory ? keep_in_memory(record, std::move(bytes), out)
                     : keep_in_temp_file(record, entry, bytes, out);
}

}   // namespace

ArchiveRecord& general_archive()
{
    return the_general_archive;
}

ArchiveRecord& music_archive()
{
    return the_music_archive;
}

void archives_init()
{
    archives_shutdown();
    const std::string& program = exe_path();
    mount_archives(program.c_str(), program.c_str());
}

void archives_shutdown()
{
    for (ArchiveRecord* record : {&the_general_archive, &the_music_archive}) {
        release_extraction(*record);
        *record = ArchiveRecord();
    }
}

void mount_archives(const char* general, const char* music)
{
    mount(the_general_archive, general);
    mount(the_music_archive, music);
}

bool resolve_media_path(ArchiveRecord& record, const char* name, std::string& out, bool to_memory)
{
    release_extraction(record);
    out.clear();
    if (name == nullptr || name[0] == '\0') return false;
    out = name;
    if (media_name_exists(name)) return true;
    if (!record.enabled) return false;
    SbxSource source;
    if (record.archive_path.empty() || !sbx_open(record.archive_path.c_str(), source)) {
        record.enabled = false;
        return false;
    }
    out.clear();
    return extract_entry(record, source, name, to_memory, out);
}

std::string temp_name_for_entry(std::int32_t offset, std::int32_t stored_size,
                                const std::string& entry_name)
{
    return temp_folder() + name_for_instance(std::string("sbx") + name_letter(offset) +
                                             name_letter(stored_size) + entry_name);
}
