/*
 * frame.cpp - start-up, shut-down, the window event pump and the frame cycle.
 *
 * Needs: SDL2 events, GL for the clear after each swap, quad_batch.h to
 * draw the frame before its hook, and every module that
 * start-up brings up and shut-down takes down again (clock, renderer, window,
 * input, sound, music, archives, file channels, the start-up font).
 */
#include "engine/frame.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <cstring>

#include "core/archive.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/files.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "engine/host_system.h"
#include "engine/options.h"
#include "engine/start_checks.h"
#include "engine/window.h"
#include "media/fonts.h"
#include "media/gamepad.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "media/screen_picture.h"
#include "media/sound.h"

ProjectSettings project_settings;

namespace {

const double PAUSE_SLEEP_MS = 100;
const char* const PAUSE_SUFFIX = " <pause>";

struct FrameState {
    std::string command_line;
    GameTable game = {};
    bool auto_pause = true;
    bool paused = false;
    bool allow_escape = true;
    bool quit_entry_called = false;
    bool hidden = false;
    int frames_shown = 0;
    bool confined = false;
    unsigned char player_keys[KEY_CODE_COUNT] = {};   // while confined, read for the quit keys
};
FrameState frame;

void take_frame_times()
{
    frame_times.current = frame_times.previous = frame_times.start = now_ms();
}

void present_frame()
{
    if (frame.hidden) {
        // The clock still moves on, as it does in set_screen's frames.
        frame_pacing.next_deadline = now_ms();
    } else {
        window_present();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    pace_frame(frame_pacing, pump_messages);
}

void wait_while_paused()
{
    while (frame.paused) {
        music_loop_check();
        pump_messages();
        sleep_ms(PAUSE_SLEEP_MS);
    }
}

bool quit_key_held(int code)
{
    if (frame.confined) return (frame.player_keys[code] & KEY_DOWN_BIT) != 0;
    return key_held(code) != 0;
}

bool quit_keys_down()
{
    if (frame.confined) read_player_keys(frame.player_keys);
    if (frame.allow_escape && (quit_key_held(KEY_ESCAPE_ALT) || quit_key_held(KEY_ESCAPE)))
        return true;
    return quit_key_held(KEY_LEFT_ALT) && quit_key_held(KEY_F4);
}

void set_paused(bool paused)
{
    if (!frame.auto_pause) return;
    frame.paused = paused;
    std::string caption = std::string(window_caption()) + (paused ? PAUSE_SUFFIX : "");
    SDL_SetWindowTitle(screen_window(), caption.c_str());
}

bool window_has_focus()
{
    return (SDL_GetWindowFlags(screen_window()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

// This copy's log, emptied, opening with the version.
void start_log()
{
    claim_instance_slot();
    log_delete();
    log_line(version_line().c_str());
}

void call_quit_entry_once()
{
    if (frame.quit_entry_called) return;
    frame.quit_entry_called = true;
    if (frame.game.quit) frame.game.quit();
}

// What end_program runs on every way out of the process.
void end_the_runtime()
{
    call_quit_entry_once();
    runtime_shutdown();
}

void switch_display_mode()
{
    toggle_fullscreen();
    if (frame.game.display_mode_changed) frame.game.display_mode_changed();
}

}   // namespace

void (*find_routine(const char* name))()
{
    return std::strcmp(name, "MRV_ON_QUIT") == 0 ? frame.game.quit : nullptr;
}

bool runtime_startup(const GameTable& game, const char** why)
{
    frame.game = game;
    set_shutdown_routine(end_the_runtime);
    start_log();
    frame.auto_pause = true;
    init_clock();
    log_line("Init GFX");
    renderer = new OpenGLZadodedo();
    if (!create_window(project_settings.screen_width, project_settings.screen_height,
                       project_settings.frame_rate, why))
        return false;
    set_window_caption(project_settings.title.c_str());
    seed_rnd(static_cast<uint32_t>(now_ms()));
    sound_init();
    if (project_settings.fullscreen)
        enter_fullscreen();
    else
        enter_windowed();
    input_init(project_settings.exclusive_input != 0);
    set_key_source(game.key_source);
    set_pad_action_keys(game.pad_action_key);
    archives_init();
    enter_data_folder();
    clear_screen();
    take_frame_times();
    present_frame();
    set_viewport(0, 0, 0, 0);
    load_startup_font();
    frame.paused = false;
    take_frame_times();
    show_mouse_cursor(project_settings.exclusive_input == 0);
    log_line("Init Finalized");
    return true;
}

int runtime_main(int argc, char** argv, const GameTable& game)
{
    for (int i = 0; i < argc; ++i) {
        if (i) frame.command_line += ' ';
        frame.command_line += argv[i];
    }
    Options parsed;
    std::string error;
    if (!parse_options(argc, argv, &parsed, &error)) {
        host_attach_console();
        std::fprintf(stderr, "snowbelter: %s\n%s", error.c_str(), usage_text().c_str());
        return 2;
    }
    if (parsed.show_help || parsed.show_version) {
        host_attach_console();
        std::fputs((parsed.show_help ? usage_text() : version_line() + "\n").c_str(), stdout);
        return 0;
    }
    set_options(parsed);
    game.apply_project_settings();
    std::string cause;
    if (!find_game_data(parsed.data_dir, &cause) || !display_named(&cause)) {
        start_log();
        report_start_failure(cause);
        return 1;
    }
    // No message box can show on a display that does not answer.
    if (!display_opens(&cause)) {
        start_log();
        report_start_failure(cause, StartFailureBox::none);
        return 1;
    }
    const char* why = "unknown cause";
    if (!runtime_startup(game, &why)) {
        runtime_shutdown();
        report_start_failure(why);
        return 1;
    }
    runtime_status = RuntimeStatus{0, 0, 0};
    game.game_main();
    end_program();
}

void runtime_shutdown()
{
    if (!renderer) return;
    log_line("Shut down MRV");
    music_shutdown();
    enter_data_folder();
    close_all_channels();
    input_shutdown();
    sound_shutdown();
    delete renderer;
    renderer = nullptr;
    archives_shutdown();
    destroy_window();
}

void window_proc(const SDL_Event& event)
{
    if (event.type == SDL_QUIT) end_program();
    if (event.type != SDL_WINDOWEVENT) {
        input_handle_event(event);
        return;
    }
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE: end_program();
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_HIDDEN: set_paused(true); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: set_paused(false); break;
    // A hidden browser tab need not lose the focus, and then hears no focus
    // event when it is shown again; a window without the focus waits for it.
    case SDL_WINDOWEVENT_SHOWN:
        if (window_has_focus()) set_paused(false);
        break;
    default: break;
    }
}

void pump_messages()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) window_proc(event);
}

void show_screen()
{
    // The frame's drawing reaches GL before the frame hook, which may make
    // GL calls of its own (the replay runner's scissor box for the next frame).
    flush_quads();
    if (frame.game.frame) frame.game.frame();
    frame_times.previous = frame_times.current;
    frame_times.current = now_ms();
    wait_while_paused();
    poll_keyboard();
    if (take_display_toggle_request()) switch_display_mode();
    if (quit_keys_down()) {
        set_error(STATUS_SUCCESS);
        end_program();
    }
    music_loop_check();
    pump_messages();
    present_frame();
    reset_frame_state();
    ++frame.frames_shown;
}

void hide_frames(bool hidden)
{
    frame.hidden = hidden;
}

FrameEntry swap_frame_entry(FrameEntry entry)
{
    const FrameEntry replaced = frame.game.frame;
    frame.game.frame = entry;
    return replaced;
}

int frames_shown()
{
    return frame.frames_shown;
}

void confine_keys(bool confined)
{
    frame.confined = confined;
    stand_in_for_display(confined);
    if (!confined) take_display_toggle_request();
}

double allow_escape(double flag)
{
    frame.allow_escape = flag != 0;
    return flag;
}

void set_auto_pause(double flag)
{
    frame.auto_pause = flag != 0;
}

bool runtime_paused()
{
    return frame.paused;
}

const std::string& command_line()
{
    return frame.command_line;
}
