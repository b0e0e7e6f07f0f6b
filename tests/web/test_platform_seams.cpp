/*
 * test_platform_seams.cpp - the GL operations that differ between desktop GL
 * and the browser's WebGL, held to one contract: byte orders of uploads and
 * read-backs, textures read back as they were filled, the single pixel, the
 * drawing picture's alpha, and the host's sleep to a deadline.  Runs the
 * desktop implementation headless (320 x 240) under Xvfb; the browser's
 * implementation answers to the same calls in the browser tests' replays.
 */
#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "core/host_sleep.h"
#include "media/gl_target.h"
#include "support/harness.h"
#include "support/pictures.h"

namespace {

constexpr long long NS_PER_MS = 1000000;

GLuint new_texture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// 4 x 2 texels, every byte different, alpha 0 in two of them.
std::vector<uint8_t> sample_texels()
{
    std::vector<uint8_t> texels(4 * 2 * 4);
    for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = uint8_t(10 + i * 7);
    texels[3] = 0;
    texels[5 * 4 + 3] = 0;
    return texels;
}

class GlTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_test_runtime());
        start_clean_frame();
        // What every caller of write_screen_pixel does first.
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
    }
};

TEST_F(GlTarget, RgbaUploadsReadBackAsAlphaAndBgr)
{
    const std::vector<uint8_t> rgba = sample_texels();
    GLuint name = new_texture();
    upload_texture_rgba(name, 4, 2, rgba.data());
    const std::vector<uint8_t> alpha = texture_alpha(name);
    ASSERT_EQ(alpha.size(), 8u);
    std::vector<uint8_t> bgr(8 * 3);
    texture_bgr(name, 4, 2, bgr.data());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(alpha[i], rgba[i * 4 + 3]) << "texel " << i;
        EXPECT_EQ(bgr[i * 3], rgba[i * 4 + 2]) << "blue of texel " << i;
        EXPECT_EQ(bgr[i * 3 + 1], rgba[i * 4 + 1]) << "green of texel " << i;
        EXPECT_EQ(bgr[i * 3 + 2], rgba[i * 4]) << "red of texel " << i;
    }
    forget_texture(name);
    glDeleteTextures(1, &name);
}

TEST_F(GlTarget, BgraUploadsSwapRedAndBlue)
{
    const std::vector<uint8_t> bgra = sample_texels();
    GLuint name = new_texture();
    upload_texture_bgra(name, 4, 2, bgra.data());
    std::vector<uint8_t> bgr(8 * 3);
    texture_bgr(name, 4, 2, bgr.data());
    const std::vector<uint8_t> alpha = texture_alpha(name);
    ASSERT_EQ(alpha.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(bgr[i * 3], bgra[i * 4]) << "blue of texel " << i;
        EXPECT_EQ(bgr[i * 3 + 2], bgra[i * 4 + 2]) << "red of texel " << i;
        EXPECT_EQ(alpha[i], bgra[i * 4 + 3]) << "texel " << i;
    }
    glDeleteTextures(1, &name);
}

TEST_F(GlTarget, OnePixelIsWrittenExactlyAndAlone)
{
    const uint8_t rgba[4] = {201, 7, 99, 255};
    write_screen_pixel(10, 20, rgba);
    std::array<uint8_t, 3 * 4> bgra{};
    read_pixels_bgra(9, 20, 3, 1, bgra.data());
    EXPECT_EQ(bgra[4], 99);   // blue first
    EXPECT_EQ(bgra[5], 7);
    EXPECT_EQ(bgra[6], 201);
    EXPECT_EQ(bgra[7], 255);
    for (int side : {0, 8}) {
        EXPECT_EQ(bgra[side], 0) << "a neighbour changed";
        EXPECT_EQ(bgra[side + 1], 0);
        EXPECT_EQ(bgra[side + 2], 0);
    }
    std::array<uint8_t, 3> bgr{};
    read_pixels_bgr(10, 20, 1, 1, bgr.data());
    EXPECT_EQ(bgr, (std::array<uint8_t, 3>{99, 7, 201}));
}

TEST_F(GlTarget, ScreenCopiesReadBackFromTheTexture)
{
    const uint8_t seen[4] = {30, 60, 90, 255}, clear[4] = {0, 0, 0, 0};
    write_screen_pixel(5, 6, seen);
    write_screen_pixel(6, 6, clear);
    GLuint name = new_texture();
    upload_texture_bgra(name, 32, 32, nullptr);
    copy_screen_to_texture(name, 32, 32, 5, 6, 2, 1);
    const std::vector<uint8_t> alpha = texture_alpha(name);
    ASSERT_EQ(alpha.size(), 32u * 32u);
    EXPECT_EQ(alpha[0], 255);
    EXPECT_EQ(alpha[1], 0);
    std::vector<uint8_t> bgr(32 * 32 * 3);
    texture_bgr(name, 32, 32, bgr.data());
    EXPECT_EQ(bgr[0], 90);
    EXPECT_EQ(bgr[1], 60);
    EXPECT_EQ(bgr[2], 30);
    glDeleteTextures(1, &name);
}

TEST_F(GlTarget, TheDrawingPictureKeepsAlpha)
{
    // Grabs copy the screen with its alpha only when it has some.
    EXPECT_EQ(screen_alpha_bits(), 8);
}

TEST_F(GlTarget, TheContextHasFramebufferObjects)
{
    EXPECT_TRUE(gl_offers_framebuffer_objects());
}

TEST(HostSleep, NeverWakesBeforeTheDeadline)
{
    for (int ms : {1, 5, 12}) {
        const long long deadline = host_monotonic_ns() + ms * NS_PER_MS;
        host_sleep_until_ns(deadline);
        EXPECT_GE(host_monotonic_ns(), deadline) << ms << " ms";
    }
}

}   // namespace
