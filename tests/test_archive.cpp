// Media archives: the .sbx format, memory names, the resolver and the packer.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "core/archive.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "core/sbx_format.h"
#include "support/scratch_folder.h"

namespace {

// Bytes that compress somewhat but not trivially.
MemoryBlock sample_bytes(std::size_t size, unsigned seed)
{
    MemoryBlock bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<unsigned char>((state >> 16) % 7 + (i % 50 == 0 ? 200 : 0));
    }
    return bytes;
}

MemoryBlock build(const std::vector<SbxInput>& entries, bool from_end = false)
{
    MemoryBlock archive;
    EXPECT_TRUE(sbx_build(entries, from_end, archive));
    return archive;
}

std::int32_t int32_at(const MemoryBlock& bytes, std::size_t at)
{
    return static_cast<std::int32_t>(std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
                                     std::uint32_t(bytes[at + 2]) << 16 |
                                     std::uint32_t(bytes[at + 3]) << 24);
}

void set_int32_at(MemoryBlock& bytes, std::size_t at, std::int32_t value)
{
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// An archive held in a registered block, opened as a source.
struct BlockArchive {
    unsigned handle;
    SbxSource source;
    SbxDirectory directory;

    explicit BlockArchive(const MemoryBlock& bytes) : handle(register_memory_block(bytes))
    {
        sbx_open(memory_name(handle).c_str(), source);
    }
    ~BlockArchive() { release_memory_block(handle); }

    bool trailer() { return sbx_read_trailer(source, directory); }

    std::vector<SbxEntry> entries()
    {
        std::vector<SbxEntry> found;
        if (!trailer()) return found;
        std::int64_t cursor = directory.start;
        SbxEntry entry;
        while (sbx_next_entry(source, directory, cursor, entry)) found.push_back(entry);
        return found;
    }

    SbxUnpack unpack(const std::string& name, MemoryBlock& out)
    {
        SbxEntry entry;
        EXPECT_TRUE(trailer());
        EXPECT_TRUE(sbx_find_entry(source, directory, name, entry)) << name;
        return sbx_unpack(source, entry, out);
    }
};

// One entry "data.bin" holding `size` sample bytes; where its stored data
// begins in the built archive is 0 (entries are laid out first).
MemoryBlock one_entry_archive(std::size_t size)
{
    return build({{"data.bin", sample_bytes(size, 3)}});
}

// ---------------------------------------------------------------- format

TEST(SbxFormat, BuiltArchiveListsAndUnpacksEveryEntry)
{
    std::vector<SbxInput> inputs = {{"santa2.png", sample_bytes(70000, 1)},
                                    {"empty.txt", {}},
                                    {"Font.PNG", sample_bytes(17, 2)}};
    BlockArchive archive(build(inputs));
    std::vector<SbxEntry> entries = archive.entries();
    ASSERT_EQ(entries.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(entries[i].name, inputs[i].name);
        MemoryBlock out;
        EXPECT_EQ(sbx_unpack(archive.source, entries[i], out), SbxUnpack::unpacked);
        EXPECT_EQ(out, inputs[i].data) << inputs[i].name;
    }
    EXPECT_GE(archive.directory.start, 0);
    EXPECT_LT(entries[0].stored_size, 70000) << "sample data should compress";
}

TEST(SbxFormat, TrailerIsMagicAndDirectoryOffset)
{
    MemoryBlock bytes = one_entry_archive(100);
    std::size_t end = bytes.size();
    EXPECT_EQ(bytes[end - 7], 's');
    EXPECT_EQ(bytes[end - 6], 'b');
    EXPECT_EQ(bytes[end - 5], 'X');
    std::int32_t directory = int32_at(bytes, end - 4);
    ASSERT_GE(directory, 0);
    EXPECT_EQ(bytes[directory], std::string("data.bin").size());
    EXPECT_EQ(bytes[end - 8], 0) << "the directory ends with a 0 byte";
}

TEST(SbxFormat, FromEndOffsetsAreNegativeAndSurviveAPrefix)
{
    MemoryBlock appended =
        build({{"a.wav", sample_bytes(5000, 4)}, {"b.png", sample_bytes(9, 5)}}, true);
    EXPECT_LT(int32_at(appended, appended.size() - 4), 0);
    MemoryBlock program = sample_bytes(12345, 6);
    program.insert(program.end(), appended.begin(), appended.end());
    BlockArchive archive(program);
    std::vector<SbxEntry> entries = archive.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_LT(entries[0].offset, 0);
    EXPECT_EQ(entries[0].data_start, 12345);
    MemoryBlock out;
    EXPECT_EQ(archive.unpack("b.png", out), SbxUnpack::unpacked);
    EXPECT_EQ(out, sample_bytes(9, 5));
}

TEST(SbxFormat, WrongMagicOrShortSourceHasNoTrailer)
{
    MemoryBlock bytes = one_entry_archive(10);
    bytes[bytes.size() - 5] = 'x';
    EXPECT_FALSE(BlockArchive(bytes).trailer());
    EXPECT_FALSE(BlockArchive(bytes_of("sbX")).trailer());
    EXPECT_FALSE(BlockArchive(MemoryBlock()).trailer());
}

TEST(SbxFormat, EntriesMatchIgnoringAsciiCaseOnly)
{
    EXPECT_TRUE(sbx_names_match("Santa2.PNG", "santa2.png"));
    EXPECT_FALSE(sbx_names_match("santa2.png", "santa2.pn"));
    EXPECT_FALSE(sbx_names_match("\xC4.png", "\xE4.png")) << "bytes above 127 are not folded";
    BlockArchive archive(one_entry_archive(10));
    ASSERT_TRUE(archive.trailer());
    SbxEntry entry;
    EXPECT_TRUE(sbx_find_entry(archive.source, archive.directory, "DATA.Bin", entry));
    EXPECT_FALSE(sbx_find_entry(archive.source, archive.directory, "data", entry));
}

TEST(SbxFormat, LastPathComponentTakesTextAfterEitherSeparator)
{
    EXPECT_EQ(last_path_component("media/gfx/santa2.png"), "santa2.png");
    EXPECT_EQ(last_path_component("media\\sfx\\filler.mp3"), "filler.mp3");
    EXPECT_EQ(last_path_component("a\\b/c"), "c");
    EXPECT_EQ(last_path_component("plain"), "plain");
    EXPECT_EQ(last_path_component("folder/"), "");
    EXPECT_EQ(last_path_component(nullptr), "");
}

TEST(SbxFormat, SafeEntryNamesStayInOneFolder)
{
    EXPECT_TRUE(sbx_entry_name_is_safe("filler.mp3"));
    EXPECT_TRUE(sbx_entry_name_is_safe("..hidden"));
    EXPECT_FALSE(sbx_entry_name_is_safe(""));
    EXPECT_FALSE(sbx_entry_name_is_safe("."));
    EXPECT_FALSE(sbx_entry_name_is_safe(".."));
    EXPECT_FALSE(sbx_entry_name_is_safe("../evil"));
    EXPECT_FALSE(sbx_entry_name_is_safe("a\\b"));
    EXPECT_FALSE(sbx_entry_name_is_safe(std::string("a\0b", 3)));
    EXPECT_FALSE(sbx_entry_name_is_safe(std::string(256, 'a')));
}

TEST(SbxFormat, BuildRefusesNamesThatDoNotFitTheLengthByte)
{
    MemoryBlock out;
    EXPECT_FALSE(sbx_build({{"", bytes_of("x")}}, false, out));
    EXPECT_FALSE(sbx_build({{std::string(256, 'n'), bytes_of("x")}}, false, out));
    EXPECT_TRUE(sbx_build({{std::string(255, 'n'), bytes_of("x")}}, false, out));
}

// ------------------------------------------------------ hostile archives

TEST(HostileArchive, EntryDataOutsideTheFileIsUnreadable)
{
    MemoryBlock bytes = one_entry_archive(300);
    BlockArchive good(bytes);
    std::vector<SbxEntry> entries = good.entries();
    ASSERT_EQ(entries.size(), 1u);
    for (std::int32_t offset : {INT32_MAX, -5, static_cast<std::int32_t>(bytes.size()) - 2}) {
        SbxEntry entry = entries[0];
        entry.offset = entry.data_start = offset;
        MemoryBlock out;
        EXPECT_EQ(sbx_unpack(good.source, entry, out), SbxUnpack::unreadable) << offset;
        EXPECT_TRUE(out.empty());
    }
    for (std::int32_t stored : {INT32_MIN, -1, 0, 3, INT32_MAX}) {
        SbxEntry entry = entries[0];
        entry.stored_size = stored;
        MemoryBlock out;
        EXPECT_EQ(sbx_unpack(good.source, entry, out), SbxUnpack::unreadable) << stored;
    }
}

TEST(HostileArchive, LyingUnpackedLengthsAreRefused)
{
    MemoryBlock bytes = one_entry_archive(4000);
    std::int32_t real = int32_at(bytes, 0);
    ASSERT_EQ(real, 4000);
    for (std::int32_t lie : {real + 1, real - 1, -1, INT32_MIN, INT32_MAX, 0x10000001}) {
        MemoryBlock patched = bytes;
        set_int32_at(patched, 0, lie);
        BlockArchive archive(patched);
        MemoryBlock out;
        EXPECT_EQ(archive.unpack("data.bin", out), SbxUnpack::undecodable) << lie;
        EXPECT_TRUE(out.empty());
    }
}

// Runs in a death-test child whose address space may grow by 64 MiB only:
// a reader that believed a lying length would fail to allocate and abort.
[[noreturn]] void unpack_with_little_memory(const MemoryBlock& archive_bytes)
{
    BlockArchive archive(archive_bytes);
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm == nullptr || std::fscanf(statm, "%lu", &pages) != 1) std::_Exit(2);
    std::fclose(statm);
    rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (64u << 20);
    struct rlimit cap = {limit, limit};
    if (::setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(2);
    MemoryBlock out;
    std::_Exit(archive.unpack("data.bin", out) == SbxUnpack::undecodable ? 0 : 1);
}

TEST(HostileArchiveDeathTest, ClaimedLengthBeyondTheStreamAllocatesNothing)
{
    MemoryBlock bytes = one_entry_archive(4000);
    set_int32_at(bytes, 0, static_cast<std::int32_t>(MAX_MEDIA_BYTES - 1));
    EXPECT_EXIT(unpack_with_little_memory(bytes), ::testing::ExitedWithCode(0), "");
}

TEST(HostileArchive, GarbageStreamIsUndecodable)
{
    MemoryBlock bytes = one_entry_archive(4000);
    std::int32_t stored = BlockArchive(bytes).entries().at(0).stored_size;
    for (std::int32_t i = 4; i < stored; ++i) bytes[i] = static_cast<unsigned char>(0xFF - i);
    BlockArchive archive(bytes);
    MemoryBlock out;
    EXPECT_EQ(archive.unpack("data.bin", out), SbxUnpack::undecodable);
    EXPECT_TRUE(out.empty());
}

TEST(HostileArchive, DirectoryRunningPastTheEndEndsTheList)
{
    MemoryBlock bytes = one_entry_archive(10);
    std::size_t directory = static_cast<std::size_t>(int32_at(bytes, bytes.size() - 4));
    bytes[directory] = 250;   // a name longer than what follows
    EXPECT_TRUE(BlockArchive(bytes).entries().empty());
}

TEST(HostileArchive, DirectoryOffsetOutsideTheFileGivesNoEntries)
{
    MemoryBlock bytes = one_entry_archive(10);
    for (std::int32_t offset :
         {INT32_MAX, INT32_MIN, -1, static_cast<std::int32_t>(bytes.size())}) {
        set_int32_at(bytes, bytes.size() - 4, offset);
        BlockArchive archive(bytes);
        EXPECT_TRUE(archive.trailer());
        EXPECT_TRUE(archive.entries().empty()) << offset;
    }
}

// ---------------------------------------------------------- memory names

TEST(MemoryNames, NameHasTwoBlankPaddedHexFields)
{
    unsigned handle = register_memory_block(MemoryBlock(300, 7));
    std::string name = memory_name(handle);
    char expected[32];
    std::snprintf(expected, sizeof expected, "mem://%8x.%8x", 300u, handle);
    EXPECT_EQ(name, expected);
    EXPECT_EQ(name.size(), 23u);
    EXPECT_EQ(name[14], '.');
    ASSERT_TRUE(find_memory_block(name.c_str()));
    EXPECT_EQ(find_memory_block(name.c_str())->size(), 300u);
    release_memory_block(handle);
}

TEST(MemoryNames, ForgedStaleOrMalformedNamesDesignateNothing)
{
    unsigned handle = register_memory_block(bytes_of("four"));
    std::string name = memory_name(handle);
    char wrong_length[32], unknown[32], no_point[32];
    std::snprintf(wrong_length, sizeof wrong_length, "mem://%8x.%8x", 5u, handle);
    std::snprintf(unknown, sizeof unknown, "mem://%8x.%8x", 4u, handle + 1000);
    std::snprintf(no_point, sizeof no_point, "mem://%8x:%8x", 4u, handle);
    for (const char* forged : std::vector<const char*>{
             wrong_length, unknown, no_point, "mem://", "mem://       4.",
             "mem://       4.       g", "mem://        .       1", "mem://7ffd1234.7ffd1234"}) {
        EXPECT_FALSE(find_memory_block(forged)) << forged;
        EXPECT_FALSE(media_name_exists(forged)) << forged;
    }
    EXPECT_TRUE(media_name_exists(name.c_str()));
    release_memory_block(handle);
    EXPECT_FALSE(find_memory_block(name.c_str())) << "a released block's name is dead";
    EXPECT_EQ(memory_name(handle), "");
}

TEST(MemoryNames, HoldersKeepTheirBytesAfterRelease)
{
    unsigned handle = register_memory_block(bytes_of("kept"));
    SharedBlock held = find_memory_block(memory_name(handle).c_str());
    release_memory_block(handle);
    ASSERT_TRUE(held);
    EXPECT_EQ(*held, bytes_of("kept"));
}

TEST(MemoryNames, HandlesAreNeverReusedForLiveBlocks)
{
    unsigned first = register_memory_block(bytes_of("a"));
    unsigned second = register_memory_block(bytes_of("b"));
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    release_memory_block(first);
    unsigned third = register_memory_block(bytes_of("c"));
    EXPECT_NE(third, first) << "a stale name must not come back to life";
    release_memory_block(second);
    release_memory_block(third);
}

// -------------------------------------------------------------- resolver

class Resolver : public ::testing::Test {
protected:
    ScratchFolder scratch;
    TempFolderOverride temp{scratch.path + "tmp/"};

    void SetUp() override { archives_shutdown(); }
    void TearDown() override { archives_shutdown(); }

    std::string make_archive(const std::string& relative, const std::vector<SbxInput>& entries)
    {
        std::string path = scratch.file(relative);
        MemoryBlock bytes = build(entries);
        EXPECT_TRUE(write_whole_file(path, bytes.data(), bytes.size(), false));
        return path;
    }

    std::vector<std::string> extracted_files() { return names_starting_with(temp.folder, "sbx"); }

    MemoryBlock bytes_named(const std::string& name)
    {
        MemoryBlock bytes;
        EXPECT_TRUE(read_whole_media(name.c_str(), bytes)) << name;
        return bytes;
    }
};

TEST_F(Resolver, PlainFileWinsOverArchiveEntry)
{
    std::string gfx = make_archive("media/gfx.sbx", {{"santa2.png", bytes_of("from archive")}});
    mount_archives(gfx.c_str(), "");
    std::string plain = scratch.file("media/gfx/santa2.png");
    write_bytes(plain, bytes_of("plain file"));
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), plain.c_str(), out, true));
    EXPECT_EQ(out, plain);

    ::unlink(plain.c_str());
    ASSERT_TRUE(resolve_media_path(general_archive(), plain.c_str(), out, true));
    EXPECT_TRUE(is_memory_name(out.c_str()));
    EXPECT_EQ(bytes_named(out), bytes_of("from archive"));
}

TEST_F(Resolver, RequestMatchesLastComponentIgnoringCase)
{
    std::string gfx = make_archive("gfx.sbx", {{"santa2.png", bytes_of("santa")}});
    mount_archives(gfx.c_str(), "");
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "MEDIA/GFX/Santa2.PNG", out, true));
    EXPECT_EQ(bytes_named(out), bytes_of("santa"));
    ASSERT_TRUE(resolve_media_path(general_archive(), "other\\folder\\SANTA2.png", out, true));
    EXPECT_EQ(bytes_named(out), bytes_of("santa"));
}

TEST_F(Resolver, NextLookupFreesThePreviousBlock)
{
    std::string gfx = make_archive("gfx.sbx", {{"a.png", bytes_of("A")}, {"b.png", bytes_of("B")}});
    mount_archives(gfx.c_str(), "");
    std::string first, second;
    ASSERT_TRUE(resolve_media_path(general_archive(), "media/gfx/a.png", first, true));
    ASSERT_TRUE(find_memory_block(first.c_str()));
    ASSERT_TRUE(resolve_media_path(general_archive(), "media/gfx/b.png", second, true));
    EXPECT_FALSE(find_memory_block(first.c_str()));
    EXPECT_EQ(bytes_named(second), bytes_of("B"));
    std::string missing;
    EXPECT_FALSE(resolve_media_path(general_archive(), "none.png", missing, true));
    EXPECT_FALSE(find_memory_block(second.c_str())) << "a failed lookup frees it too";
}

TEST_F(Resolver, MissingEntryFailsWithEmptyNameAndKeepsArchive)
{
    std::string gfx = make_archive("gfx.sbx", {{"a.png", bytes_of("A")}});
    mount_archives(gfx.c_str(), "");
    std::string out = "stale";
    EXPECT_FALSE(resolve_media_path(general_archive(), "media/gfx/zzz.png", out, true));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(general_archive().enabled);
    EXPECT_FALSE(resolve_media_path(general_archive(), "", out, true));
    EXPECT_EQ(out, "");
}

TEST_F(Resolver, MissingArchiveIsDisabledButPlainFilesStillResolve)
{
    std::string missing = scratch.path + "nowhere.sbx";
    mount_archives(missing.c_str(), "");
    std::string out;
    EXPECT_FALSE(resolve_media_path(general_archive(), "media/gfx/a.png", out, true));
    EXPECT_EQ(out, "media/gfx/a.png");
    EXPECT_FALSE(general_archive().enabled);
    EXPECT_FALSE(resolve_media_path(music_archive(), "media/sfx/a.mp3", out, false));
    EXPECT_FALSE(music_archive().enabled) << "an empty mount is disabled by its first lookup";

    std::string plain = scratch.file("here.png");
    write_bytes(plain, bytes_of("p"));
    EXPECT_TRUE(resolve_media_path(general_archive(), plain.c_str(), out, true));
    EXPECT_EQ(out, plain);

    mount_archives(missing.c_str(), "");
    EXPECT_TRUE(general_archive().enabled) << "mounting enables again";
}

TEST_F(Resolver, WrongMagicFailsWithoutDisabling)
{
    std::string damaged = scratch.file("damaged.sbx");
    write_bytes(damaged, bytes_of("this is no archive at all"));
    mount_archives(damaged.c_str(), "");
    std::string out;
    EXPECT_FALSE(resolve_media_path(general_archive(), "a.png", out, true));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(general_archive().enabled);
}

TEST_F(Resolver, ArchiveMayItselfBeAMemoryBlock)
{
    unsigned handle = register_memory_block(build({{"inner.txt", bytes_of("inside")}}));
    std::string name = memory_name(handle);
    mount_archives(name.c_str(), name.c_str());
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "x/inner.txt", out, true));
    EXPECT_EQ(bytes_named(out), bytes_of("inside"));
    ASSERT_TRUE(resolve_media_path(general_archive(), name.c_str(), out, true));
    EXPECT_EQ(out, name) << "a registered memory name exists like a plain file";
    release_memory_block(handle);
}

TEST_F(Resolver, UndecodableEntryResolvesToAnEmptyBlock)
{
    MemoryBlock bytes = one_entry_archive(500);
    set_int32_at(bytes, 0, 501);
    std::string path = scratch.file("lying.sbx");
    write_bytes(path, bytes);
    mount_archives(path.c_str(), path.c_str());
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "data.bin", out, true));
    EXPECT_TRUE(bytes_named(out).empty());
    ASSERT_TRUE(find_memory_block(out.c_str()));
    EXPECT_EQ(find_memory_block(out.c_str())->size(), 0u);
}

TEST_F(Resolver, TempNameUsesLowBytesOfOffsetAndStoredSize)
{
    EXPECT_EQ(temp_name_for_entry(1234, 5678, "filler.mp3"), temp.folder + "sbxCUfiller.mp3");
    // -1 has the low byte 255: 255 mod 26 = 21, the letter V.
    EXPECT_EQ(temp_name_for_entry(-1, 0, "x.wav"), temp.folder + "sbxVAx.wav");
}

TEST_F(Resolver, MusicExtractsToANamedTempFile)
{
    MemoryBlock track = sample_bytes(20000, 9);
    std::string sfx =
        make_archive("media/sfx.sbx", {{"intro.mp3", bytes_of("i")}, {"filler.mp3", track}});
    mount_archives("", sfx.c_str());
    std::string out;
    ASSERT_TRUE(resolve_media_path(music_archive(), "media/sfx/filler.mp3", out, false));
    SbxSource source;
    SbxDirectory directory;
    SbxEntry entry;
    ASSERT_TRUE(sbx_open(sfx.c_str(), source) && sbx_read_trailer(source, directory));
    ASSERT_TRUE(sbx_find_entry(source, directory, "filler.mp3", entry));
    EXPECT_EQ(out, temp_name_for_entry(entry.offset, entry.stored_size, "filler.mp3"));
    EXPECT_EQ(read_bytes(out), track);
    EXPECT_EQ(music_archive().temp_file, out);
}

TEST_F(Resolver, SecondMusicLookupLeavesOnlyTheSecondFile)
{
    std::string sfx =
        make_archive("sfx.sbx", {{"one.mp3", bytes_of("1")}, {"two.mp3", bytes_of("22")}});
    mount_archives("", sfx.c_str());
    std::string first, second;
    ASSERT_TRUE(resolve_media_path(music_archive(), "media/sfx/one.mp3", first, false));
    ASSERT_TRUE(resolve_media_path(music_archive(), "media/sfx/two.mp3", second, false));
    EXPECT_FALSE(path_exists(first));
    std::vector<std::string> left = extracted_files();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(temp.folder + left[0], second);
}

TEST_F(Resolver, ShutdownAndMountLeaveNoExtractionBehind)
{
    std::string sfx = make_archive("sfx.sbx", {{"one.mp3", bytes_of("1")}});
    mount_archives(sfx.c_str(), sfx.c_str());
    std::string block, file;
    ASSERT_TRUE(resolve_media_path(general_archive(), "one.mp3", block, true));
    ASSERT_TRUE(resolve_media_path(music_archive(), "one.mp3", file, false));
    mount_archives(sfx.c_str(), sfx.c_str());
    EXPECT_FALSE(find_memory_block(block.c_str()));
    EXPECT_TRUE(extracted_files().empty());

    ASSERT_TRUE(resolve_media_path(general_archive(), "one.mp3", block, true));
    ASSERT_TRUE(resolve_media_path(music_archive(), "one.mp3", file, false));
    ASSERT_EQ(extracted_files().size(), 1u);
    archives_shutdown();
    EXPECT_FALSE(find_memory_block(block.c_str()));
    EXPECT_TRUE(extracted_files().empty());
    EXPECT_EQ(music_archive().archive_path, "");
    EXPECT_FALSE(resolve_media_path(music_archive(), "one.mp3", file, false));
}

TEST_F(Resolver, UnsafeEntryNamesAreNeverWrittenToFiles)
{
    std::string sfx = make_archive("sfx.sbx", {{"..", bytes_of("up")}, {".", bytes_of("here")}});
    mount_archives(sfx.c_str(), sfx.c_str());
    std::string out;
    EXPECT_FALSE(resolve_media_path(music_archive(), "media/..", out, false));
    EXPECT_FALSE(resolve_media_path(music_archive(), "media/.", out, false));
    EXPECT_TRUE(extracted_files().empty());
    EXPECT_EQ(names_starting_with(scratch.path, "sbx"), std::vector<std::string>());
    ASSERT_TRUE(resolve_media_path(general_archive(), "media/..", out, true))
        << "in memory the name is harmless";
    EXPECT_EQ(bytes_named(out), bytes_of("up"));
}

TEST_F(Resolver, ExtractionReplacesALinkInsteadOfFollowingIt)
{
    std::string sfx = make_archive("sfx.sbx", {{"song.mp3", bytes_of("music")}});
    mount_archives("", sfx.c_str());
    std::string out;
    ASSERT_TRUE(resolve_media_path(music_archive(), "song.mp3", out, false));
    std::string name = out;
    EXPECT_FALSE(resolve_media_path(music_archive(), "none.mp3", out, false));
    EXPECT_FALSE(path_exists(name));
    std::string victim = scratch.file("victim.txt");
    write_bytes(victim, bytes_of("precious"));
    ASSERT_EQ(::symlink(victim.c_str(), name.c_str()), 0);   // a trap at the name used next
    ASSERT_TRUE(resolve_media_path(music_archive(), "song.mp3", out, false));
    EXPECT_EQ(read_bytes(victim), bytes_of("precious"));
    EXPECT_EQ(read_bytes(out), bytes_of("music"));
}

TEST_F(Resolver, ArchiveAppendedToAProgramIsFoundByItsTrailer)
{
    std::string program = scratch.file("program");
    write_bytes(program, sample_bytes(40000, 11));
    MemoryBlock appended = build({{"smalfont.png", bytes_of("font")}}, true);
    ASSERT_TRUE(write_whole_file(program, appended.data(), appended.size(), true));
    mount_archives(program.c_str(), program.c_str());
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "smalfont.png", out, true));
    EXPECT_EQ(bytes_named(out), bytes_of("font"));
    ASSERT_TRUE(resolve_media_path(music_archive(), "SMALFONT.PNG", out, false));
    EXPECT_EQ(read_bytes(out), bytes_of("font"));
}

TEST_F(Resolver, StartUpMountsTheProgramItself)
{
    archives_init();
    EXPECT_EQ(general_archive().archive_path, exe_path());
    EXPECT_EQ(music_archive().archive_path, exe_path());
    std::string out;
    EXPECT_FALSE(resolve_media_path(general_archive(), "smalfont.png", out, true));
    EXPECT_TRUE(general_archive().enabled) << "a program without a trailer is no missing archive";
}

// ---------------------------------------------------------------- packer

class Packer : public Resolver {
protected:
    std::string tool = std::string(SNOW_BINARY_DIR) + "/tools/sbxpack";

    int run(const std::string& arguments, const std::string& output = "/dev/null")
    {
        std::string command = tool + " " + arguments + " >" + output + " 2>/dev/null";
        return std::system(command.c_str());
    }
};

TEST_F(Packer, CreatedArchiveResolvesInTheRuntime)
{
    ASSERT_TRUE(path_exists(tool)) << tool;
    std::string image = scratch.file("src/Santa2.png");
    std::string sound = scratch.file("src/jump.wav");
    write_bytes(image, sample_bytes(30000, 12));
    write_bytes(sound, bytes_of("RIFF"));
    std::string archive = scratch.path + "gfx.sbx";
    ASSERT_EQ(run("create " + archive + " " + image + " " + sound), 0);
    mount_archives(archive.c_str(), "");
    std::string out;
    ASSERT_TRUE(resolve_media_path(general_archive(), "media/gfx/santa2.png", out, true));
    EXPECT_EQ(bytes_named(out), sample_bytes(30000, 12));

    std::string listing = scratch.path + "list.txt";
    ASSERT_EQ(run("list " + archive, listing), 0);
    std::string text(reinterpret_cast<const char*>(read_bytes(listing).data()),
                     read_bytes(listing).size());
    EXPECT_EQ(text.find("Santa2.png\t0\t"), 0u);
    EXPECT_NE(text.find("\njump.wav\t"), std::string::npos);
}

TEST_F(Packer, AppendAndExtractRoundTrip)
{
    ASSERT_TRUE(path_exists(tool)) << tool;
    std::string program = scratch.file("program");
    MemoryBlock head = sample_bytes(5000, 13);
    write_bytes(program, head);
    std::string data = scratch.file("src/level.dat");
    write_bytes(data, sample_bytes(777, 14));
    ASSERT_EQ(run("append " + program + " " + data), 0);
    MemoryBlock grown = read_bytes(program);
    ASSERT_GT(grown.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), grown.begin())) << "the program is kept";
    EXPECT_LT(int32_at(grown, grown.size() - 4), 0);

    std::string copy = scratch.path + "copy.dat";
    ASSERT_EQ(run("extract " + program + " LEVEL.DAT " + copy), 0);
    EXPECT_EQ(read_bytes(copy), sample_bytes(777, 14));
}

TEST_F(Packer, RefusesBadInputs)
{
    ASSERT_TRUE(path_exists(tool)) << tool;
    std::string a = scratch.file("one/same.png");
    std::string b = scratch.file("two/SAME.png");
    write_bytes(a, bytes_of("a"));
    write_bytes(b, bytes_of("b"));
    std::string archive = scratch.path + "x.sbx";
    EXPECT_NE(run("create " + archive + " " + a + " " + b), 0) << "duplicate names";
    EXPECT_NE(run("create " + archive + " " + scratch.path + "missing.png"), 0);
    EXPECT_NE(run("list " + a), 0) << "not an archive";
    EXPECT_NE(run("append " + scratch.path + "absent " + a), 0);
    EXPECT_FALSE(path_exists(scratch.path + "absent"));
    EXPECT_NE(run("frobnicate " + archive), 0);
}

}   // namespace
