/*
 * frame.h - the process from its first instruction to its exit, and the frame
 * cycle.
 *
 * Owns the project settings, the start-up sequence, the window event pump,
 * the pause while the window is inactive, the quit keys, and show_screen, the
 * call with which every game screen ends its frame.  The game hands itself to
 * the runtime as a GameEntry; runtime_main calls its settings routine, starts
 * everything, calls its main routine once and ends through end_program.
 *
 * Callers: the program's main(), the game's screens (show_screen and the
 * switches below), tests and the replay runner (GameEntry, the frame hook).
 * Not for: window creation (window.h), pacing arithmetic (clock.h), or the
 * run-time status (core/errors.h).
 */
#pragma once

#include <string>

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

// A routine the game offers by name ("MRV_ON_QUIT", "MRV_WIN32_MSG").
// The table ends with an entry whose routine is null.
struct RoutineEntry {
    void (*routine)();
    const char* name;
};

struct GameEntry {
    void (*apply_project_settings)();
    void (*game_main)();
    const RoutineEntry* routines;   // may be null: no routines
};

// Keeps the command line, applies the settings, starts the runtime, resets
// the status, runs game_main and ends the program.  When start-up fails it
// prints one line naming the cause on stderr and returns a nonzero exit code.
int runtime_main(int argc, char** argv, const GameEntry& game);

// The start-up sequence alone (tests use it without runtime_main).  Returns
// false, with the cause in *why, when there is no window or GL context.
bool runtime_startup(const GameEntry& game, const char** why);

// Orderly release of everything start-up brought up, in its reverse order:
// music, working directory, file channels, input, sound, renderer, archives,
// window.  Does nothing when start-up never built the renderer.  end_program
// runs it (after the game's quit hook) once start-up has begun.
void runtime_shutdown();

// The game's routine of that exact name, or null.
void (*find_routine(const char* name))();

// Presents the frame and runs one cycle of the frame loop.
void show_screen();

// How many show_screen calls have returned: the keys of frame n are those
// the keyboard shows while this reads n.
int frames_shown();

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

// Called at the start of every show_screen call, before anything else
// (the replay runner writes its trace and feeds scripted keys there).
void set_frame_hook(void (*hook)());

// The command line kept for the game.
const std::string& command_line();
