// File channels, file_exists and the whole-media reader.

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/archive.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/media_source.h"
#include "core/sbx_format.h"
#include "support/exit_status.h"
#include "support/scratch_folder.h"

namespace {

std::vector<int> read_bytes_from(int channel, int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        std::int32_t value = 12345;
        read_byte(channel, value);
        values.push_back(value);
    }
    return values;
}

std::vector<unsigned char> every_byte_value()
{
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<unsigned char>(i));
    return bytes;
}

class Channels : public ::testing::Test {
protected:
    ScratchFolder scratch;
    TempFolderOverride temp{scratch.path + "tmp/"};

    void SetUp() override
    {
        archives_shutdown();
        set_error(STATUS_SUCCESS);
    }
    void TearDown() override
    {
        close_all_channels();
        archives_shutdown();
    }

    std::string file_with(const std::string& relative, const std::vector<unsigned char>& bytes)
    {
        std::string path = scratch.file(relative);
        write_bytes(path, bytes);
        return path;
    }

    void mount_general(const std::vector<SbxInput>& entries)
    {
        MemoryBlock archive;
        ASSERT_TRUE(sbx_build(entries, false, archive));
        std::string path = file_with("media/gfx.sbx", archive);
        mount_archives(path.c_str(), "");
    }
};

// ------------------------------------------------------------- reading

TEST_F(Channels, PlainFileReadsSignedBytes)
{
    std::string path = file_with("bytes.bin", {0x00, 0x7F, 0x80, 0xFF, 0x41});
    ASSERT_TRUE(open_file(0, path.c_str(), FILE_MODE_READ));
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    EXPECT_EQ(read_bytes_from(0, 5), (std::vector<int>{0, 127, -128, -1, 65}));
}

TEST_F(Channels, MemoryBlockReadsThenYieldsZerosPastItsEnd)
{
    unsigned handle = register_memory_block({0x05, 0xF0});
    std::string name = memory_name(handle);
    ASSERT_TRUE(open_file(3, name.c_str(), FILE_MODE_READ));
    EXPECT_EQ(read_bytes_from(3, 4), (std::vector<int>{5, -16, 0, 0}));
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    release_memory_block(handle);
}

TEST_F(Channels, ArchiveEntryStaysReadableAfterTheArchiveMovesOn)
{
    mount_general({{"level.dat", bytes_of("LEVEL")}, {"other.dat", bytes_of("x")}});
    ASSERT_TRUE(open_file(1, "media/gfx/Level.DAT", FILE_MODE_READ));
    EXPECT_EQ(read_bytes_from(1, 2), (std::vector<int>{'L', 'E'}));
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "other.dat", out, true));
    EXPECT_EQ(read_bytes_from(1, 4), (std::vector<int>{'V', 'E', 'L', 0}));
}

TEST_F(Channels, ReopeningAChannelClosesTheOldFile)
{
    std::string a = file_with("a.txt", bytes_of("a"));
    std::string b = file_with("b.txt", bytes_of("b"));
    ASSERT_TRUE(open_file(2, a.c_str(), FILE_MODE_READ));
    ASSERT_TRUE(open_file(2, b.c_str(), FILE_MODE_READ));
    EXPECT_EQ(read_bytes_from(2, 1), std::vector<int>{'b'});
}

TEST_F(Channels, MissingOrForgedNamesFailWithNoSuchFile)
{
    std::string missing = scratch.path + "missing.bin";
    for (const char* name : {missing.c_str(), "", "mem://       4.    1234",
                             "mem://7ffd1234.7ffd1234", scratch.path.c_str()}) {
        set_error(STATUS_SUCCESS);
        EXPECT_FALSE(open_file(4, name, FILE_MODE_READ)) << name;
        EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE) << name;
    }
    mount_general({{"a.png", bytes_of("A")}});
    set_error(STATUS_SUCCESS);
    EXPECT_FALSE(open_file(4, "media/gfx/b.png", FILE_MODE_READ));
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
}

TEST_F(Channels, OpeningResetsTheStatus)
{
    std::string path = file_with("a.txt", bytes_of("a"));
    set_error(STATUS_OUT_OF_BOUNDS);
    ASSERT_TRUE(open_file(0, path.c_str(), FILE_MODE_READ));
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
    set_error(STATUS_OUT_OF_BOUNDS);
    close_file(0);
    EXPECT_EQ(runtime_status.status, STATUS_SUCCESS);
}

// ------------------------------------------------------------- writing

TEST_F(Channels, WriteCreatesAndAppendAddsToTheEnd)
{
    std::string path = scratch.path + "out.txt";
    ASSERT_TRUE(open_file(7, path.c_str(), FILE_MODE_WRITE));
    write_text(7, "abc", 3);
    close_file(7);
    ASSERT_TRUE(open_file(7, path.c_str(), FILE_MODE_APPEND));
    write_text(7, "de\0f", 4);
    close_file(7);
    EXPECT_EQ(read_bytes(path), (std::vector<unsigned char>{'a', 'b', 'c', 'd', 'e', 0, 'f'}));
    ASSERT_TRUE(open_file(7, path.c_str(), FILE_MODE_WRITE));
    close_file(7);
    EXPECT_TRUE(read_bytes(path).empty()) << "write mode starts a new file";
}

TEST_F(Channels, AppendCreatesAMissingFile)
{
    std::string path = scratch.path + "log.txt";
    ASSERT_TRUE(open_file(5, path.c_str(), -7));
    write_text(5, "x", 1);
    close_file(5);
    EXPECT_EQ(read_bytes(path), bytes_of("x"));
}

TEST_F(Channels, MemoryNamesCannotBeWritten)
{
    unsigned handle = register_memory_block(bytes_of("ro"));
    std::string name = memory_name(handle);
    for (int mode : {FILE_MODE_WRITE, FILE_MODE_APPEND}) {
        set_error(STATUS_SUCCESS);
        EXPECT_FALSE(open_file(0, name.c_str(), mode));
        EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    }
    EXPECT_EQ(*find_memory_block(name.c_str()), bytes_of("ro"));
    release_memory_block(handle);
}

TEST_F(Channels, WriteDoesNotFollowALinkAtTheName)
{
    std::string victim = file_with("victim.txt", bytes_of("precious"));
    std::string link = scratch.path + "link.txt";
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    set_error(STATUS_SUCCESS);
    EXPECT_FALSE(open_file(0, link.c_str(), FILE_MODE_APPEND));
    EXPECT_EQ(runtime_status.status, STATUS_NO_SUCH_FILE);
    EXPECT_EQ(read_bytes(victim), bytes_of("precious"));
}

// ------------------------------------------------------ fatal faults

using ChannelsDeathTest = Channels;

TEST_F(ChannelsDeathTest, ChannelOutsideZeroToSevenEndsWithStatus7)
{
    EXPECT_RUNTIME_FAULT(open_file(8, "x", FILE_MODE_READ), 7);
    EXPECT_RUNTIME_FAULT(open_file(-1, "x", FILE_MODE_READ), 7);
    EXPECT_RUNTIME_FAULT(close_file(8), 7);
    std::int32_t value = 0;
    EXPECT_RUNTIME_FAULT(read_byte(9, value), 7);
    EXPECT_RUNTIME_FAULT(write_text(8, "x", 1), 7);
}

TEST_F(ChannelsDeathTest, ReadingPastTheEndOfAFileEndsWithStatus3)
{
    std::string path = file_with("one.bin", {0x01});
    ASSERT_TRUE(open_file(0, path.c_str(), FILE_MODE_READ));
    std::int32_t value = 0;
    read_byte(0, value);
    EXPECT_EQ(value, 1);
    EXPECT_RUNTIME_FAULT(read_byte(0, value), 3);
}

TEST_F(ChannelsDeathTest, ClosedChannelsCannotBeReadOrWritten)
{
    std::string path = file_with("one.bin", {0x01});
    ASSERT_TRUE(open_file(6, path.c_str(), FILE_MODE_READ));
    close_all_channels();
    std::int32_t value = 0;
    EXPECT_RUNTIME_FAULT(read_byte(6, value), 3);
    EXPECT_RUNTIME_FAULT(write_text(6, "x", 1), 3);
}

TEST_F(ChannelsDeathTest, WritingToAReadChannelEndsWithStatus3)
{
    std::string path = file_with("one.bin", {0x01});
    ASSERT_TRUE(open_file(0, path.c_str(), FILE_MODE_READ));
    EXPECT_RUNTIME_FAULT(write_text(0, "x", 1), 3);
    EXPECT_EQ(read_bytes(path), (std::vector<unsigned char>{0x01}));
}

// ------------------------------------------------------------ existence

TEST_F(Channels, FileExistsSeesPlainFilesAndLiveBlocksOnly)
{
    std::string path = file_with("here.txt", bytes_of("h"));
    unsigned handle = register_memory_block(bytes_of("m"));
    std::string name = memory_name(handle);
    mount_general({{"packed.png", bytes_of("p")}});
    EXPECT_TRUE(file_exists(path.c_str()));
    EXPECT_TRUE(file_exists(name.c_str()));
    EXPECT_FALSE(file_exists((scratch.path + "gone.txt").c_str()));
    EXPECT_FALSE(file_exists(scratch.path.c_str())) << "a folder is no file";
    EXPECT_FALSE(file_exists("media/gfx/packed.png")) << "archives are not consulted";
    EXPECT_FALSE(file_exists(""));
    release_memory_block(handle);
    EXPECT_FALSE(file_exists(name.c_str()));
}

// ------------------------------------------------------ whole-media reads

TEST_F(Channels, WholeMediaReadsFilesAndBlocks)
{
    std::string path = file_with("image.png", every_byte_value());
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(read_whole_media(path.c_str(), bytes));
    EXPECT_EQ(bytes, every_byte_value());
    unsigned handle = register_memory_block(bytes_of("block"));
    ASSERT_TRUE(read_whole_media(memory_name(handle).c_str(), bytes));
    EXPECT_EQ(bytes, bytes_of("block"));
    release_memory_block(handle);
}

TEST_F(Channels, WholeMediaRefusesWhatItCannotReadSafely)
{
    std::vector<unsigned char> bytes = bytes_of("leftover");
    EXPECT_FALSE(read_whole_media((scratch.path + "none").c_str(), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(read_whole_media(scratch.path.c_str(), bytes));
    EXPECT_FALSE(read_whole_media("mem://     100.       1", bytes));
    EXPECT_FALSE(read_whole_media(nullptr, bytes));

    // A sparse file just over the limit costs no disk space.
    std::string huge = scratch.path + "huge.bin";
    write_bytes(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(MAX_MEDIA_BYTES) + 1), 0);
    EXPECT_FALSE(read_whole_media(huge.c_str(), bytes));
    EXPECT_TRUE(bytes.empty());
}

}   // namespace
