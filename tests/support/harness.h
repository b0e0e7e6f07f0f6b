/*
 * harness.h - starts the real runtime headless for tests.
 *
 * start_test_runtime brings up the whole runtime (window under Xvfb, GL
 * context, renderer, input, sound on the dummy driver, archives) on the test
 * clock, with the keyboard replaced by a scripted one, and with the
 * temporary folder pointed at a private scratch folder.  Frames then run
 * without waiting in real time: pacing moves the test clock instead.
 *
 * The runtime gets the harness's own GameTable (engine/frame.h): its key
 * source is the scripted keyboard, a plain 256-byte table the test sets, and
 * its frame entry calls the test's frame hook, which lets a test change keys
 * frame by frame.
 *
 * Callers: GL, sprite, sound, shell and game tests.  Not for: production code.
 */
#pragma once

// Starts the runtime once per test program (later calls do nothing) with a
// windowed screen of width x height.  Returns false (and the test should
// fail) when there is no display or GL context.
bool start_test_runtime(int width = 320, int height = 240);

// The scripted keyboard.
void hold_key(int code);
void release_key(int code);
void release_all_keys();
// Switches the game from the scripted keyboard to the player's (the real
// keyboard and any pads) and back.
void use_player_keys(bool on);

// Called at the start of every show_screen (null: nothing).
void set_test_frame_hook(void (*hook)());

// Runs n frames (show_screen) with nothing drawn in between.
void run_frames(int n);

// The runtime's temporary folder for this test program.
const char* test_temp_folder();
