#include "core/files.h"

#include <cerrno>
#include <string>
#include <unistd.h>

#include "core/archive.h"
#include "core/errors.h"
#include "core/host_files.h"
#include "core/media_source.h"
#include "core/paths.h"

namespace {

struct FileChannel {
    int fd = -1;
    SharedBlock block;
    std::int64_t size = 0;
    std::int64_t position = 0;
};

FileChannel channels[FILE_CHANNEL_COUNT];

FileChannel& channel_at(int channel)
{
    // The original runtime's status for a channel it does not have.
    if (channel < 0 || channel >= FILE_CHANNEL_COUNT)
        end_with_fault(STATUS_OUT_OF_MEMORY, "no file channel of that number");
    return channels[channel];
}

void close_channel(FileChannel& ch)
{
    if (ch.fd >= 0) ::close(ch.fd);
    ch = FileChannel();
}

bool open_for_reading(FileChannel& ch, const char* name)
{
    std::string resolved;
    bool found = resolve_media_path(general_archive(), name, resolved, true);
    if (!found) set_error(STATUS_NO_SUCH_FILE);
    if (is_memory_name(resolved.c_str())) {
        ch.block = find_memory_block(resolved.c_str());
        if (!ch.block) return false;
        ch.size = static_cast<std::int64_t>(ch.block->size());
        return true;
    }
    ch.fd = open_plain_for_reading(resolved.c_str(), &ch.size);
    return ch.fd >= 0;
}

bool open_for_writing(FileChannel& ch, const char* name, bool append)
{
    if (is_memory_name(name) || name[0] == '\0') return false;
    if (!append) host_remove_file(name);
    ch.fd = open_file_nofollow(name, !append);
    return ch.fd >= 0;
}

}   // namespace

bool open_file(int channel, const char* name, int mode)
{
    FileChannel& ch = channel_at(channel);
    set_error(STATUS_SUCCESS);
    close_channel(ch);
    if (name == nullptr) name = "";
    bool opened =
        mode >= FILE_MODE_READ ? open_for_reading(ch, name) : open_for_writing(ch, name, mode < 0);
    if (!opened) {
        close_channel(ch);
        set_error(STATUS_NO_SUCH_FILE);
    }
    return opened;
}

void close_file(int channel)
{
    FileChannel& ch = channel_at(channel);
    set_error(STATUS_SUCCESS);
    close_channel(ch);
}

void read_byte(int channel, std::int32_t& value)
{
    FileChannel& ch = channel_at(channel);
    unsigned char byte = 0;
    if (ch.block) {
        if (ch.position < ch.size) byte = (*ch.block)[static_cast<std::size_t>(ch.position++)];
    } else {
        ssize_t got;
        do {
            got = ch.fd >= 0 ? ::read(ch.fd, &byte, 1) : 0;
        } while (got < 0 && errno == EINTR);
        if (got != 1)
            end_with_fault(STATUS_NO_SUCH_FILE, "read past the end of a file or a closed channel");
        ++ch.position;
    }
    // A signed byte: sign-extended on purpose.
    value = static_cast<signed char>(byte);   // NOLINT(bugprone-signed-char-misuse)
}

void write_text(int channel, const char* text, std::size_t length)
{
    FileChannel& ch = channel_at(channel);
    if (ch.fd < 0 || !write_all_bytes(ch.fd, text, length))
        end_with_fault(STATUS_NO_SUCH_FILE, "cannot write to the file channel");
}

bool file_exists(const char* name)
{
    return media_name_exists(name);
}

void close_all_channels()
{
    for (FileChannel& ch : channels) close_channel(ch);
}
