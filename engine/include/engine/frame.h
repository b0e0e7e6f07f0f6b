/*
 * frame.h - the process from its first instruction to its exit, and the frame
 * cycle.
 *
 * Owns the project settings, the start-up sequence, the window event pump,
 * the pause while the window is inactive, the quit keys, and show_screen, the
 * call with which every game screen ends its frame.  The game hands itself to
 * the runtime once, as a GameTable of every entry point the engine calls;
 * runtime_main calls its settings routine, starts everything, calls its main
 * routine once and ends through end_program.  The engine passes the key
 * source and the pad's action keys on to the input module at start-up; the
 * game registers nothing else.
 *
 * Callers: the program's main(), the game's screens (show_screen and the
 * switches below), tests and the replay runner (each with a GameTable).
 * Not for: window creation (window.h), pacing arithmetic (clock.h), or the
 * run-time status (core/errors.h).
 */
#pragma once

#include <string>

#include "media/gamepad.h"   // PadAction
#include "media/keymap.h"    // KEY_CODE_COUNT

union SDL_Event;

struct ProjectSettings {
    int screen_width = 640;
    int screen_height = 480;
    int fullscreen = 0;
    int frame_rate = 60;
    int multisample_level = 0;
    int exclusive_input = 1;
    int debug = 0;
    std::string title = "snowbelter";
};
extern ProjectSettings project_settings;

// The game's entry points, handed over once (runtime_main, runtime_startup)
// and in the order the engine takes them into use.  The first two are
// required; a null one of the rest is never called (a null key source means
// the player's keys, a null pad entry no pad keys).
struct GameTable {
    // Fills project_settings, before anything starts.
    void (*apply_project_settings)();
    // The game itself, called once; the program ends when it returns.
    void (*game_main)();
    // Fills the key state of every poll and answers true, or answers false
    // to leave it the player's keys (set_key_source in input.h).
    bool (*key_source)(unsigned char state[KEY_CODE_COUNT]);
    // The keys a pad action holds (set_pad_action_keys in gamepad.h).
    int (*pad_action_key)(PadAction action, int which);
    // At the start of every show_screen call, before anything else.
    void (*frame)();
    // After every switch between window and full screen (Alt+Enter, F11).
    void (*display_mode_changed)();
    // Once, first, on every way out (end_program, end_with_fault).
    void (*quit)();
};

// Keeps the command line, applies the settings, starts the runtime, resets
// the status, runs game_main and ends the program.  When start-up fails it
// prints one line naming the cause on stderr and returns a nonzero exit code.
int runtime_main(int argc, char** argv, const GameTable& game);

// The start-up sequence alone (tests use it without runtime_main).  Returns
// false, with the cause in *why, when there is no window or GL context.
bool runtime_startup(const GameTable& game, const char** why);

// Orderly release of everything start-up brought up, in its reverse order:
// music, working directory, file channels, input, sound, renderer, archives,
// window.  Does nothing when start-up never built the renderer.  Both ways
// out of core/errors.h run it (after the game's quit entry) once start-up
// has begun.
void runtime_shutdown();

// The game's message hooks by their documented names: "MRV_ON_QUIT" is the
// table's quit entry; "MRV_WIN32_MSG" has no counterpart on this platform.
// Null for any other name, and for an entry the game left empty.
void (*find_routine(const char* name))();

// Presents the frame and runs one cycle of the frame loop.
void show_screen();

// While hidden, show_screen runs its whole cycle but neither presents the
// picture nor waits for the frame's deadline (a watched replay's frames
// before its round, and three of every four while it runs fast).
void hide_frames(bool hidden);

// Puts entry in the place of the frame entry in use and returns that one:
// a watched replay takes the frames over while it runs and hands them back.
using FrameEntry = void (*)();
FrameEntry swap_frame_entry(FrameEntry entry);

// How many show_screen calls have returned: the keys of frame n are those
// the keyboard shows while this reads n.
int frames_shown();

// While confined (a watched replay's keys, from a script that may come from
// anywhere), the keys the game is given reach nothing outside it: the quit
// keys are read from the player's own keyboard and pads, a switch between
// window and full screen goes to the window's stand-in (window.h) and the
// real window stays as it is; one still asked for when they are set free is
// dropped.
void confine_keys(bool confined);

// Whether Escape (key 1) or key 129 ends the program in show_screen.
double allow_escape(double flag);
// Whether the game pauses while its window is inactive (on by default).
void set_auto_pause(double flag);
bool runtime_paused();

// Handles one window event the way the window handler does: close ends the
// program, losing the focus or being hidden (a browser tab) pauses, gaining
// it or being shown again with it resumes (with the caption), everything
// else goes to the input module.
void window_proc(const SDL_Event& event);

// Removes and handles every pending window event.
void pump_messages();

// The command line kept for the game.
const std::string& command_line();
