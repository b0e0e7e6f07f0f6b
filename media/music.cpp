/*
 * music.cpp - the music stream over SDL_mixer, and its loop deadline.
 *
 * Needs: SDL_mixer's music calls; archive.h to find the file; clock.h for
 * the runtime clock; log.h for the missing decoder; music_arrival.h for an
 * archive that is still on its way (a browser page downloading it).
 */
#include "media/music.h"

#include <SDL_mixer.h>
#include <string>

#include "core/archive.h"
#include "core/clock.h"
#include "core/log.h"
#include "media/music_arrival.h"

namespace {

const double MS_PER_SECOND = 1000;

struct MusicState {
    Mix_Music* piece = nullptr;
    std::string name;
    double volume = -1;     // last stored; -1 forces the next send
    double deadline = 0;    // runtime-clock ms of the next restart; 0 = none
    double length = 0;      // ms, at least MUSIC_MIN_LENGTH_MS once loaded
    bool waiting = false;   // asked for while its archive was on its way
    double waiting_loop = 0;
};
MusicState music;

bool mixer_open()
{
    int rate = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&rate, &format, &channels) != 0;
}

// The piece's length in ms; a piece that reports less (or no length at all)
// counts as MUSIC_MIN_LENGTH_MS.
double piece_length(Mix_Music* piece)
{
    double length = Mix_MusicDuration(piece) * MS_PER_SECOND;
    return length < MUSIC_MIN_LENGTH_MS ? MUSIC_MIN_LENGTH_MS : length;
}

void send_volume(double volume)
{
    if (music.piece) Mix_VolumeMusic(mixer_music_volume(volume));
}

void start_piece(double loop)
{
    std::string path;
    if (!resolve_media_path(music_archive(), music.name.c_str(), path, false) || !mixer_open())
        return;
    music.piece = Mix_LoadMUS(path.c_str());
    if (!music.piece) return;
    music.length = piece_length(music.piece);
    music.deadline = loop != 0 ? now_ms() + music.length : 0;
    Mix_PlayMusic(music.piece, 0);
    music.volume = 1.0;
    send_volume(music.volume);
    note_music_started(music.name.c_str());
}

// The archive has landed (or will not come): the piece asked for starts
// now, at the volume the game set meanwhile.
void start_waiting_piece()
{
    music.waiting = false;
    const double volume = music.volume;
    start_piece(music.waiting_loop);
    if (volume >= 0) set_music_volume(volume);
}

}   // namespace

void music_init()
{
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) != 0) return;
    std::string line = std::string("No MP3 decoder, music stays silent: ") + Mix_GetError();
    log_line(line.c_str());
}

void play_music(const char* name, double loop)
{
    stop_music();
    music.name = name;
    // Looking in an archive that is not there yet would disable it for good.
    if (music_archive_on_its_way()) {
        music.waiting = true;
        music.waiting_loop = loop;
        return;
    }
    start_piece(loop);
}

void music_loop_check()
{
    if (music.waiting && !music_archive_on_its_way()) start_waiting_piece();
    if (!(music.deadline > 0) || now_ms() < music.deadline) return;
    music.length = piece_length(music.piece);
    music.deadline = now_ms() + music.length;
    Mix_PlayMusic(music.piece, 0);   // from the beginning, playing or not
}

void stop_music()
{
    music.waiting = false;
    music.volume = -1;
    music.deadline = 0;
    music.length = 0;
    if (!music.piece) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music.piece);
    music.piece = nullptr;
}

void set_music_volume(double volume)
{
    if (volume == music.volume) return;
    music.volume = volume;
    send_volume(volume);
}

void music_shutdown()
{
    stop_music();
}

double music_loop_deadline()
{
    return music.deadline;
}

double music_length_ms()
{
    return music.length;
}

double music_stored_volume()
{
    return music.volume;
}

bool music_loaded()
{
    return music.piece != nullptr;
}

const char* music_file_name()
{
    return music.name.c_str();
}

int mixer_music_volume(double volume)
{
    // Thousandths first, as the volume is sent; NaN and negatives are silence.
    double units = volume * MUSIC_VOLUME_UNITS;
    if (!(units > 0)) return 0;
    if (units >= MUSIC_VOLUME_UNITS) return MIX_MAX_VOLUME;
    int whole = static_cast<int>(units);
    return (whole * MIX_MAX_VOLUME + MUSIC_VOLUME_UNITS / 2) / MUSIC_VOLUME_UNITS;
}
