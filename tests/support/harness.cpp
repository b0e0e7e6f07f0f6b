/*
 * harness.cpp - the headless runtime for tests.
 *
 * Needs: the runtime's start-up (frame.h), the test clock (clock.h), the
 * player's keys (input.h), and a scratch folder for the runtime's temporary
 * files.
 */
#include "support/harness.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "core/clock.h"
#include "core/paths.h"
#include "engine/frame.h"
#include "media/input.h"
#include "support/test_host.h"

namespace {

const double TEST_CLOCK_START_MS = 1000;

struct HarnessState {
    bool started = false;
    bool ok = false;
    unsigned char keys[KEY_CODE_COUNT] = {};
    bool player_keys = false;
    void (*frame_hook)() = nullptr;
    std::string temp;
    int owner = 0;   // death-test children must not remove the parent's folder
};
HarnessState harness;

bool test_keys(unsigned char state[KEY_CODE_COUNT])
{
    if (harness.player_keys) return false;
    std::memcpy(state, harness.keys, KEY_CODE_COUNT);
    return true;
}

void test_frame()
{
    if (harness.frame_hook) harness.frame_hook();
}

void no_settings() {}
void no_game() {}

void remove_private_temp()
{
    if (test_process_id() != harness.owner) return;
    std::error_code ignored;
    std::filesystem::remove_all(harness.temp, ignored);
}

void make_private_temp()
{
    harness.temp = make_test_folder();
    harness.owner = test_process_id();
    std::atexit(remove_private_temp);
    set_environment(TEMP_FOLDER_VARIABLE, harness.temp.c_str());
    reset_temp_folder();
}

}   // namespace

bool start_test_runtime(int width, int height)
{
    // A forked child cannot shut down a copy of a process that has GL and
    // audio threads: death tests re-run the test program from the start.
    // (Test flags are restored after every test, so this is set each time.)
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (harness.started) return harness.ok;
    harness.started = true;
    make_private_temp();
    set_environment("SDL_AUDIODRIVER", "dummy", false);
    use_test_clock(TEST_CLOCK_START_MS);
    project_settings.screen_width = width;
    project_settings.screen_height = height;
    project_settings.fullscreen = 0;
    // The keys and the frame entry are the test's; no pads, no quit entry.
    static const GameTable table = {no_settings, no_game, test_keys, nullptr,
                                    test_frame,  nullptr, nullptr};
    const char* why = "";
    harness.ok = runtime_startup(table, &why);
    // The game shuts the runtime down as it ends; a test program ends by
    // returning from main, so it does the same at exit (before the temporary
    // folder goes), and the leak checker sees only what was really lost.
    if (harness.ok) std::atexit(runtime_shutdown);
    // Test programs share one X server and steal each other's focus.
    set_auto_pause(0);
    return harness.ok;
}

void hold_key(int code)
{
    harness.keys[code & 0xFF] = KEY_DOWN_BIT;
}

void release_key(int code)
{
    harness.keys[code & 0xFF] = 0;
}

void use_player_keys(bool on)
{
    harness.player_keys = on;
}

void set_test_frame_hook(void (*hook)())
{
    harness.frame_hook = hook;
}

void release_all_keys()
{
    std::memset(harness.keys, 0, sizeof harness.keys);
}

void run_frames(int n)
{
    for (int i = 0; i < n; ++i) show_screen();
}

const char* test_temp_folder()
{
    return harness.temp.c_str();
}
