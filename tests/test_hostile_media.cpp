// Outside data that once got past a reader.  The pictures live in the fuzz
// corpora (fuzz/corpus/<format>/): a file named refused_* reproduced a fault
// and must stay refused, every other one was made from our own media and
// must still decode.  Also the archive entry names the game can use, and
// media names that designate a named pipe.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/archive.h"
#include "core/media_source.h"
#include "core/sbx_format.h"
#include "media/image.h"
#include "media/renderer.h"
#include "support/scratch_folder.h"

namespace {

// The refused and the decodable pictures of one corpus folder.
struct Pictures {
    std::vector<std::string> refused;
    std::vector<std::string> decodable;
};

Pictures pictures_in(const std::string& format)
{
    Pictures found;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(SNOW_SOURCE_DIR) +
                                                                 "/fuzz/corpus/" + format)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("refused_", 0) == 0)
            found.refused.push_back(entry.path().string());
        else if (name.find('-') == std::string::npos)   // fuzzer findings are checked for cost only
            found.decodable.push_back(entry.path().string());
    }
    return found;
}

bool decodes(const std::string& path)
{
    DecodedImage image;
    const std::vector<unsigned char> bytes = read_bytes(path);
    return decode_image(image, path.c_str(), bytes.data(), bytes.size(), DEFAULT_SPRITE_KEY);
}

class CorpusPictures : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusPictures, RefusedCasesStayRefusedAndOurOwnPicturesDecode)
{
    const Pictures pictures = pictures_in(GetParam());
    EXPECT_FALSE(pictures.refused.empty());
    EXPECT_FALSE(pictures.decodable.empty());
    for (const std::string& path : pictures.refused) EXPECT_FALSE(decodes(path)) << path;
    for (const std::string& path : pictures.decodable) EXPECT_TRUE(decodes(path)) << path;
}

INSTANTIATE_TEST_SUITE_P(EachFormat, CorpusPictures, ::testing::Values("bmp", "png", "jpeg"));

TEST(ImageCap, PictureAndLibraryBuffersTogetherStayWithinTheLargestPicture)
{
    const long long side = 8192;   // 8192 x 8192 is exactly MAX_IMAGE_PIXELS
    EXPECT_TRUE(image_decode_fits(side, side, 0));
    EXPECT_FALSE(image_decode_fits(side, side, 1));
    EXPECT_TRUE(image_decode_fits(side, side / 2, MAX_DECODE_BYTES / 2));
    EXPECT_FALSE(image_decode_fits(side * 4, 1, 0));
}

TEST(ArchiveNames, EveryNameThePackerTakesCanBeExtractedToAFile)
{
    const std::string longest(SBX_MAX_USABLE_NAME - 4, 'n');
    EXPECT_TRUE(sbx_entry_name_is_safe(longest + ".mp3"));
    EXPECT_FALSE(sbx_entry_name_is_safe(longest + ".mp3x"));

    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path + "temp/");
    MemoryBlock archive;
    ASSERT_TRUE(sbx_build({SbxInput{longest + ".mp3", bytes_of("tune")}}, false, archive));
    const std::string path = scratch.file("sfx.sbx");
    write_bytes(path, archive);
    mount_archives("", path.c_str());
    std::string out;
    ASSERT_TRUE(
        resolve_media_path(music_archive(), ("media/sfx/" + longest + ".mp3").c_str(), out, false));
    EXPECT_EQ(read_bytes(out), bytes_of("tune"));
    archives_shutdown();
}

TEST(MediaNames, ANamedPipeIsNoMediaAndNothingWaitsForAWriter)
{
    ScratchFolder scratch;
    const std::string pipe = scratch.path + "santa.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(media_name_exists(pipe.c_str()));
    EXPECT_FALSE(read_whole_media(pipe.c_str(), bytes));
    DecodedImage image;
    EXPECT_FALSE(load_image(image, pipe.c_str(), NO_COLOUR_KEY));
}

}   // namespace
