#include "core/media_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

#include "core/host_files.h"
#include "core/paths.h"

namespace {

const char MEMORY_PREFIX[] = "mem://";
constexpr std::size_t PREFIX_LENGTH = 6;
constexpr std::size_t FIELD_WIDTH = 8;
constexpr std::size_t POINT_AT = PREFIX_LENGTH + FIELD_WIDTH;     // 14
constexpr std::size_t NAME_LENGTH = POINT_AT + 1 + FIELD_WIDTH;   // 23

struct BlockRegistry {
    std::map<unsigned, SharedBlock> blocks;
    unsigned last_handle = 0;
};

BlockRegistry& registry()
{
    static BlockRegistry the_registry;
    return the_registry;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One field of 8 characters: blanks, then at least one hexadecimal digit.
bool parse_field(const char* field, unsigned& value)
{
    std::size_t i = 0;
    while (i < FIELD_WIDTH && field[i] == ' ') ++i;
    if (i == FIELD_WIDTH) return false;
    value = 0;
    for (; i < FIELD_WIDTH; ++i) {
        int digit = hex_digit(field[i]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

bool parse_memory_name(const char* name, unsigned& length, unsigned& handle)
{
    if (!is_memory_name(name) || std::strlen(name) != NAME_LENGTH) return false;
    if (name[POINT_AT] != '.') return false;
    return parse_field(name + PREFIX_LENGTH, length) && parse_field(name + POINT_AT + 1, handle);
}

// Moves exactly size bytes with transfer (::read or ::write), retrying
// short and interrupted transfers; false on an error or the end of the file.
template <typename Byte, typename Transfer>
bool transfer_fully(int fd, Byte* next, std::size_t size, Transfer transfer)
{
    while (size > 0) {
        ssize_t done = transfer(fd, next, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        next += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool read_fully(int fd, unsigned char* out, std::size_t size)
{
    return transfer_fully(fd, out, size, ::read);
}

bool read_plain_file(const char* path, std::vector<unsigned char>& bytes)
{
    std::int64_t size = 0;
    int fd = open_plain_for_reading(path, &size);
    if (fd < 0) return false;
    bool ok = static_cast<std::uint64_t>(size) <= MAX_MEDIA_BYTES;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = read_fully(fd, bytes.data(), bytes.size());
    }
    ::close(fd);
    return ok;
}

}   // namespace

unsigned register_memory_block(MemoryBlock bytes)
{
    if (bytes.size() > MAX_MEDIA_BYTES) return 0;
    BlockRegistry& reg = registry();
    // Handles are not reused until the counter wraps, so a stale name stays
    // dead for a long time; skip 0 and handles still in use.
    do {
        ++reg.last_handle;
    } while (reg.last_handle == 0 || reg.blocks.count(reg.last_handle) != 0);
    reg.blocks[reg.last_handle] = std::make_shared<const MemoryBlock>(std::move(bytes));
    return reg.last_handle;
}

void release_memory_block(unsigned handle)
{
    registry().blocks.erase(handle);
}

std::string memory_name(unsigned handle)
{
    auto found = registry().blocks.find(handle);
    if (found == registry().blocks.end()) return std::string();
    char text[NAME_LENGTH + 1];
    std::snprintf(text, sizeof text, "mem://%8x.%8x", static_cast<unsigned>(found->second->size()),
                  handle);
    return text;
}

bool is_memory_name(const char* name)
{
    return name != nullptr && std::strncmp(name, MEMORY_PREFIX, PREFIX_LENGTH) == 0;
}

SharedBlock find_memory_block(const char* name)
{
    unsigned length = 0, handle = 0;
    if (!parse_memory_name(name, length, handle)) return nullptr;
    auto found = registry().blocks.find(handle);
    if (found == registry().blocks.end() || found->second->size() != length) return nullptr;
    return found->second;
}

bool media_name_exists(const char* name)
{
    if (is_memory_name(name)) return find_memory_block(name) != nullptr;
    int fd = open_plain_for_reading(name);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

int open_plain_for_reading(const char* path, std::int64_t* size)
{
    return host_open_for_reading(path, size);
}

bool write_all_bytes(int fd, const void* data, std::size_t size)
{
    return transfer_fully(fd, static_cast<const unsigned char*>(data), size, ::write);
}

bool read_whole_media(const char* name, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    bool ok;
    if (is_memory_name(name)) {
        SharedBlock block = find_memory_block(name);
        ok = block != nullptr;
        if (ok) bytes = *block;
    } else {
        ok = read_plain_file(name, bytes);
    }
    if (!ok) bytes.clear();
    return ok;
}

bool write_whole_file(const std::string& path, const unsigned char* data, std::size_t size,
                      bool append)
{
    if (path.empty() || is_memory_name(path.c_str())) return false;
    if (!append) host_remove_file(path);
    int fd = open_file_nofollow(path, !append);
    if (fd < 0) return false;
    bool ok = write_all_bytes(fd, data, size);
    ok = ::close(fd) == 0 && ok;
    if (!ok && !append) host_remove_file(path);   // leave no half-written file
    return ok;
}

bool make_folders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        host_make_folder(folder.substr(0, slash));
    host_make_folder(folder);
    return host_is_folder(folder);
}

bool replace_whole_file(const std::string& path, const unsigned char* data, std::size_t size)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && !make_folders(path.substr(0, slash))) return false;
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    int fd = host_create_file(temp, HostCreate::REPLACE);
    if (fd < 0) return false;
    bool ok = write_all_bytes(fd, data, size) && host_flush_to_disk(fd);
    ok = ::close(fd) == 0 && ok;
    ok = ok && host_rename_over(temp, path);
    if (ok) return true;
    // The caller tells the player why: the failed step's errno, not the tidying's.
    const int why = errno;
    host_remove_file(temp);
    errno = why;
    return false;
}
