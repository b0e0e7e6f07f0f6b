// The screens' shared fixture: the test media, frame scripts and pixels.
#include "support/shell_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/shell/startup.h"
#include "media/grabs.h"
#include "media/image.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/screen_picture.h"
#include "support/harness.h"
#include "support/scratch_folder.h"

namespace {

constexpr int FONT_FRAMES_PER_ROW = 10;
constexpr int FONT_ROWS = 17;   // room for every frame of the font

// Each font frame is one opaque pixel at its cell's top-left corner, in a
// colour that names the frame, so a pixel tells which letter stands there.
}   // namespace

Rgb frame_colour(int frame)
{
    return Rgb{40 + frame, 220, 30};
}

int ascii_frame(char letter)
{
    return static_cast<unsigned char>(letter) - 32;
}

Rgb letter_colour(char letter)
{
    return frame_colour(ascii_frame(letter));
}

namespace {

struct Picture {
    int width, height;
    std::vector<unsigned char> rgba;

    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    void fill(int x0, int y0, int w, int h, Rgb c)
    {
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                p[0] = static_cast<unsigned char>(c.r);
                p[1] = static_cast<unsigned char>(c.g);
                p[2] = static_cast<unsigned char>(c.b);
                p[3] = 255;
            }
        }
    }
    void save(const std::string& path) const
    {
        ASSERT_TRUE(write_png(path.c_str(), rgba.data(), width, height)) << path;
    }
};

Picture font_picture()
{
    Picture font(9 * FONT_FRAMES_PER_ROW, 11 * FONT_ROWS);
    for (int frame = 1; frame < FONT_FRAMES_PER_ROW * FONT_ROWS; ++frame) {
        int x = 9 * (frame % FONT_FRAMES_PER_ROW);
        int y = 11 * (frame / FONT_FRAMES_PER_ROW);
        font.fill(x, y, 1, 1, frame_colour(frame));
    }
    return font;
}

// A tiny mono 16-bit PCM WAV file.
std::vector<unsigned char> wav_bytes()
{
    const int samples = 64;
    std::vector<unsigned char> b;
    auto u32 = [&b](unsigned v) {
        for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&b](unsigned v) {
        b.push_back(v & 0xFF);
        b.push_back((v >> 8) & 0xFF);
    };
    auto tag = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + samples * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    tag("data");
    u32(samples * 2);
    for (int i = 0; i < samples; ++i) u16(static_cast<unsigned>((i % 8) * 1000));
    return b;
}

// A picture all of one colour, saved in the folder.
void save_plain(ScratchFolder& folder, const char* file, int width, int height, Rgb colour)
{
    Picture picture(width, height);
    picture.fill(0, 0, width, height, colour);
    picture.save(folder.file(file));
}

// The folder the shell tests run in: "media/gfx/" holds the pictures the
// screens draw and one sound; everything else is missing on purpose.
const std::string& media_folder()
{
    static ScratchFolder* folder = nullptr;
    if (folder) return folder->path;
    folder = new ScratchFolder();   // lives for the whole test program
    save_plain(*folder, "media/gfx/sky.png", 32, 240, SKY);
    save_plain(*folder, "media/gfx/trees.png", 396, 89, TREES);
    save_plain(*folder, "media/gfx/snowbelter2.png", 288, 69, TITLE);
    save_plain(*folder, "media/gfx/puddings.png", 24, 26, PUDDING);
    Picture tiles(100, 70);   // frames 44 and 45 are the ground
    tiles.fill(40, 56, 10, 14, GROUND_RIGHT);
    tiles.fill(50, 56, 10, 14, GROUND_LEFT);
    tiles.save(folder->file("media/gfx/tiles3.png"));
    font_picture().save(folder->file("media/gfx/font.png"));
    write_bytes(folder->file("media/gfx/jump.wav"), wav_bytes());
    return folder->path;
}

}   // namespace

Script script;

namespace {

void script_hook()
{
    ++script.shown;
    if (script.shown == script.limit) ADD_FAILURE() << "screen did not end within the script";
    if (script.shown >= script.limit) {
        hold_only({KEY_ESCAPE, to_int(bindings.jump)});
        return;
    }
    if (script.on_show) script.on_show(script.shown);
}

}   // namespace

void hold_only(std::initializer_list<int> codes)
{
    release_all_keys();
    for (int code : codes) hold_key(code);
}

void start_script(std::function<void(int)> on_show)
{
    script = Script{};
    script.on_show = std::move(on_show);
    set_test_frame_hook(script_hook);
}

void load_test_media()
{
    ASSERT_EQ(chdir(media_folder().c_str()), 0);
    load_media();
}

// Brings the shell to the state game_main leaves before the menu, on a
// 320 x 240 window, on a device that is not the desktop (no doubling).
void prepare_shell(const char* device)
{
    ASSERT_TRUE(start_test_runtime()) << "no display or GL context";
    // Tests running side by side on one X server take the focus from each
    // other; a screen script must not freeze in the inactive-window pause.
    set_auto_pause(0);
    // As the game's start-up does: Escape is the screens' key.  Without this
    // a held Escape ends the test program at once, with status 0, and the
    // test's checks never run.
    allow_escape(0);
    load_test_media();
    release_all_keys();
    bindings = DEFAULT_BINDINGS;
    device_name = "DESKTOP";   // the desktop's tables; the device only matters for drawing
    create_arrays();
    device_name = device;
    screen_state.key_cooldown = 0;
    screen_state.volume_cooldown = 0;
    volumes.music = 0.1;
    set_error(0);
}

void Shell::SetUp()
{
    prepare_shell();
}

void Shell::TearDown()
{
    set_test_frame_hook(nullptr);
    release_all_keys();
}

// The pixel (x, y) of the 320 x 240 picture as the frame being presented
// has it.
int pixel(int x, int y)
{
    return get_pixel(x, y);
}

// The pixel (x, y) of the frame presented last as the desktop's 640 x 480
// window shows it.
int shown_pixel(int x, int y)
{
    std::vector<uint8_t> shown(640 * 480 * 3);   // rows bottom first
    read_presented_picture_bgr(shown.data());
    const uint8_t* p = &shown[(std::size_t(479 - y) * 640 + x) * 3];
    return p[2] + 256 * p[1] + 65536 * p[0];
}

void fail_child(const char* why)
{
    std::fprintf(stderr, "[%s]\n", why);
    std::_Exit(1);
}
