/*
 * errors.cpp - the run-time status, its texts, and the orderly ending.
 *
 * Needs: every module that start-up brings up, because shut-down takes them
 * down again in a fixed order: music, working directory, file channels,
 * input, sound, renderer, archives, window.
 */
#include "runtime/errors.h"

#include <cstdio>
#include <cstdlib>

#include "media/input.h"
#include "media/music.h"
#include "media/renderer.h"
#include "media/sound.h"
#include "runtime/archive.h"
#include "runtime/files.h"
#include "runtime/frame.h"
#include "runtime/log.h"
#include "runtime/paths.h"
#include "runtime/window.h"

RuntimeStatus runtime_status = {0, 0, 0};

namespace {

bool quit_hook_called = false;

const char* status_name(int code)
{
    switch (code) {
    case STATUS_SUCCESS: return "success";
    case STATUS_NO_SUCH_FILE: return "no such file";
    case STATUS_OUT_OF_MEMORY: return "out of memory";
    case STATUS_OUT_OF_BOUNDS: return "out of bounds";
    case STATUS_OUT_OF_DATA: return "out of data";
    default: return "unknown error";
    }
}

void call_quit_hook_once()
{
    if (quit_hook_called) return;
    quit_hook_called = true;
    if (void (*hook)() = find_routine("MRV_ON_QUIT")) hook();
}

} // namespace

int set_error(double code)
{
    runtime_status.status = static_cast<int>(code);
    runtime_status.error_line = runtime_status.current_line;
    return runtime_status.status;
}

StringValue status_text()
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", runtime_status.status,
                  status_name(runtime_status.status));
    return StringValue(text);
}

void end_statement()
{
    set_error(STATUS_SUCCESS);
    end_program();
}

void end_program()
{
    call_quit_hook_once();
    runtime_shutdown();
    std::fflush(nullptr);
    std::exit(0);
}

void runtime_shutdown()
{
    if (!renderer) return;
    log_line("Shut down MRV");
    music_shutdown();
    enter_exe_folder();
    close_all_channels();
    input_shutdown();
    sound_shutdown();
    delete renderer;
    renderer = nullptr;
    archives_shutdown();
    destroy_window();
}
