/*
 * sound.cpp - sound effect slots over SDL_mixer.
 *
 * Every buffer of a slot plays the slot's one Mix_Chunk.  Buffers are not
 * tied to mixer channels: a play takes any idle mixer channel (allocating
 * more when all are busy) and records which buffer owns it, so a buffer
 * plays while its last mixer channel still plays and still belongs to it.
 *
 * Needs: SDL audio and SDL_mixer; wav.h for parsing; archive.h and
 * media_source.h to find and read the file; music.h for the decoder check
 * at start-up and the music's release at shut-down; log.h.
 */
#include "media/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/log.h"
#include "core/media_source.h"
#include "media/music.h"
#include "media/wav.h"

namespace {

// The device mixes at CD rate so that music, which shares it, is not
// down-sampled; effects are converted to it when loaded.
const int MIXER_RATE = 44100;
const int MIXER_CHANNELS = 2;
const int MIXER_CHUNK_SAMPLES = 1024;
const int FIRST_MIXER_CHANNELS = 32;
const int MOST_MIXER_CHANNELS = SOUND_SLOT_COUNT * SOUND_MAX_BUFFERS;
const std::size_t MAX_SAMPLE_BYTES = 256u << 20;   // one converted effect

const int FULL_VOLUME_HUNDREDTHS = 100;
const int SILENCE_CENTIBELS = -10000;   // hundredths of a decibel
const int FULL_PAN = 10000;
const double CENTIBELS_PER_DECADE = 2000;   // 20 dB per tenfold amplitude
const int MIXER_PAN_MAX = 255;

struct SoundSlot {
    int buffer_count = 0;
    int next_buffer = 0;
    std::string file_name;
    Mix_Chunk* chunk = nullptr;
    int mixer_channel[SOUND_MAX_BUFFERS] = {-1, -1, -1, -1};
};

struct SoundSystem {
    bool ready = false;
    bool audio_subsystem = false;   // this module initialised SDL audio
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    std::vector<int> channel_owner;   // per mixer channel: the sound channel, or -1
    std::vector<SoundSlot> slots;
};
SoundSystem sound;

bool slot_id_valid(int id)
{
    return id >= 0 && id < static_cast<int>(sound.slots.size());
}

int channel_number(int id, int buffer)
{
    return id * SOUND_CHANNELS_PER_SLOT + buffer;
}

// The slot and buffer a channel number names; false when it names none.
bool split_channel(int channel, int* id, int* buffer)
{
    if (channel < 0) return false;
    *id = channel / SOUND_CHANNELS_PER_SLOT;
    *buffer = channel % SOUND_CHANNELS_PER_SLOT;
    return slot_id_valid(*id) && *buffer < sound.slots[*id].buffer_count;
}

// The mixer channel the buffer plays on now, or -1.
int playing_mixer_channel(int id, int buffer)
{
    int mixer = sound.slots[id].mixer_channel[buffer];
    if (mixer < 0 || mixer >= static_cast<int>(sound.channel_owner.size())) return -1;
    if (sound.channel_owner[mixer] != channel_number(id, buffer)) return -1;
    return Mix_Playing(mixer) ? mixer : -1;
}

void stop_buffer(int id, int buffer)
{
    int mixer = playing_mixer_channel(id, buffer);
    if (mixer >= 0) Mix_HaltChannel(mixer);
}

void empty_slot(int id)
{
    SoundSlot& slot = sound.slots[id];
    for (int buffer = 0; buffer < slot.buffer_count; ++buffer) stop_buffer(id, buffer);
    if (slot.chunk) Mix_FreeChunk(slot.chunk);
    slot = SoundSlot();
}

// An idle mixer channel; when all are busy the mixer gets twice as many.
int idle_mixer_channel()
{
    int count = static_cast<int>(sound.channel_owner.size());
    for (int mixer = 0; mixer < count; ++mixer)
        if (!Mix_Playing(mixer)) return mixer;
    if (count >= MOST_MIXER_CHANNELS) return -1;
    int grown = count * 2 < MOST_MIXER_CHANNELS ? count * 2 : MOST_MIXER_CHANNELS;
    Mix_AllocateChannels(grown);
    sound.channel_owner.resize(grown, -1);
    return count;
}

// Converts the file's samples to the mixer's format in a chunk the mixer
// frees itself (allocated = 1).
Mix_Chunk* make_chunk(const std::vector<unsigned char>& bytes, const WavSound& wav)
{
    SDL_AudioCVT cvt;
    SDL_AudioFormat source = wav.bits_per_sample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    if (SDL_BuildAudioCVT(&cvt, source, wav.channels, wav.sample_rate, sound.format, sound.channels,
                          sound.rate) < 0)
        return nullptr;
    if (wav.data_size > MAX_SAMPLE_BYTES / cvt.len_mult) return nullptr;
    Uint8* samples = static_cast<Uint8*>(SDL_malloc(wav.data_size * cvt.len_mult));
    if (!samples) return nullptr;
    std::memcpy(samples, bytes.data() + wav.data_offset, wav.data_size);
    cvt.buf = samples;
    cvt.len = static_cast<int>(wav.data_size);
    Mix_Chunk* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
    if (!chunk || SDL_ConvertAudio(&cvt) < 0) {
        SDL_free(samples);
        SDL_free(chunk);
        return nullptr;
    }
    chunk->allocated = 1;
    chunk->abuf = samples;
    chunk->alen = static_cast<Uint32>(cvt.len_cvt);
    chunk->volume = MIX_MAX_VOLUME;
    return chunk;
}

Mix_Chunk* load_chunk(const std::string& path)
{
    std::vector<unsigned char> bytes;
    WavSound wav;
    if (path.empty() || !read_whole_media(path.c_str(), bytes)) return nullptr;
    if (!parse_wav(bytes.data(), bytes.size(), &wav)) return nullptr;
    return make_chunk(bytes, wav);
}

// The buffer play_sound uses, or -1 for a one-buffer slot still playing.
int choose_buffer(int id)
{
    SoundSlot& slot = sound.slots[id];
    int buffer = slot.next_buffer;
    if (playing_mixer_channel(id, buffer) < 0) return buffer;
    if (slot.buffer_count == 1) return -1;
    buffer = (buffer + 1) % slot.buffer_count;
    slot.next_buffer = buffer;
    stop_buffer(id, buffer);
    return buffer;
}

int round_to_int(double value)
{
    return static_cast<int>(std::lround(value));
}

double amplitude_for(int centibels)
{
    return std::pow(10.0, centibels / CENTIBELS_PER_DECADE);
}

bool open_mixer()
{
    return Mix_OpenAudio(MIXER_RATE, AUDIO_S16SYS, MIXER_CHANNELS, MIXER_CHUNK_SAMPLES) == 0;
}

bool open_real_device()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    sound.audio_subsystem = true;
    return open_mixer();
}

// SDL's silent driver keeps time like a real device, so effects still
// finish and the game runs the same.
bool open_dummy_device()
{
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (sound.audio_subsystem) {
        if (SDL_AudioInit("dummy") != 0) return false;
    } else {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        sound.audio_subsystem = true;
    }
    return open_mixer();
}

}   // namespace

void sound_init()
{
    sound = SoundSystem();
    sound.slots.resize(SOUND_SLOT_COUNT);
    if (!open_real_device()) {
        std::string line = std::string("No sound device, playing silently: ") + SDL_GetError();
        log_line(line.c_str());
        if (!open_dummy_device()) {
            line = std::string("No sound system: ") + SDL_GetError();
            log_line(line.c_str());
            return;
        }
    }
    Mix_QuerySpec(&sound.rate, &sound.format, &sound.channels);
    Mix_AllocateChannels(FIRST_MIXER_CHANNELS);
    sound.channel_owner.assign(FIRST_MIXER_CHANNELS, -1);
    sound.ready = true;
    music_init();
}

void sound_shutdown()
{
    for (int id = static_cast<int>(sound.slots.size()) - 1; id >= 0; --id) empty_slot(id);
    music_shutdown();
    if (sound.ready) {
        Mix_CloseAudio();
        Mix_Quit();   // the decoders music_init loaded
    }
    if (sound.audio_subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sound = SoundSystem();
}

bool sound_system_ready()
{
    return sound.ready;
}

void load_sound(const char* name, int id, int buffers)
{
    if (!slot_id_valid(id)) return;
    std::string path;
    resolve_media_path(general_archive(), name, path, true);
    empty_slot(id);
    if (!sound.ready) return;
    Mix_Chunk* chunk = load_chunk(path);
    if (!chunk) return;
    SoundSlot& slot = sound.slots[id];
    slot.chunk = chunk;
    slot.buffer_count = buffers < 1 ? 1 : buffers > SOUND_MAX_BUFFERS ? SOUND_MAX_BUFFERS : buffers;
    slot.file_name = path;
}

int play_sound(int id, double pan, double volume)
{
    if (!sound.ready || !slot_id_valid(id) || sound.slots[id].buffer_count == 0) return -1;
    int buffer = choose_buffer(id);
    if (buffer < 0) return -1;
    int mixer = idle_mixer_channel();
    if (mixer < 0) return -1;
    MixerLevels levels = mixer_levels(sound_levels(pan, volume));
    Mix_Volume(mixer, levels.volume);
    Mix_SetPanning(mixer, static_cast<Uint8>(levels.left), static_cast<Uint8>(levels.right));
    if (Mix_PlayChannel(mixer, sound.slots[id].chunk, 0) < 0) return -1;
    int channel = channel_number(id, buffer);
    sound.channel_owner[mixer] = channel;
    sound.slots[id].mixer_channel[buffer] = mixer;
    return channel;
}

int sound_playing(int channel)
{
    int id, buffer;
    if (!split_channel(channel, &id, &buffer)) return 0;
    return playing_mixer_channel(id, buffer) >= 0 ? 1 : 0;
}

void stop_sound(int channel)
{
    int id, buffer;
    if (split_channel(channel, &id, &buffer)) stop_buffer(id, buffer);
}

void stop_all_sounds()
{
    if (sound.ready) Mix_HaltChannel(-1);
}

int sound_buffer_count(int id)
{
    return slot_id_valid(id) ? sound.slots[id].buffer_count : 0;
}

const char* sound_file_name(int id)
{
    return slot_id_valid(id) ? sound.slots[id].file_name.c_str() : "";
}

SoundLevels sound_levels(double pan, double volume)
{
    // Written so that NaN falls to the quiet end: left pan, silence.
    double clamped_pan = pan >= 1 ? 1 : pan > -1 ? pan : -1;
    double hundredths = volume * FULL_VOLUME_HUNDREDTHS;
    int whole = hundredths >= FULL_VOLUME_HUNDREDTHS ? FULL_VOLUME_HUNDREDTHS
                : hundredths > 0                     ? static_cast<int>(hundredths)
                                                     : 0;
    return {whole * 100 + SILENCE_CENTIBELS, static_cast<int>(clamped_pan * FULL_PAN)};
}

MixerLevels mixer_levels(SoundLevels levels)
{
    int left_cut = levels.pan > 0 ? -levels.pan : 0;
    int right_cut = levels.pan < 0 ? levels.pan : 0;
    return {round_to_int(MIX_MAX_VOLUME * amplitude_for(levels.attenuation)),
            round_to_int(MIXER_PAN_MAX * amplitude_for(left_cut)),
            round_to_int(MIXER_PAN_MAX * amplitude_for(right_cut))};
}

int sound_mixer_channel(int channel)
{
    int id, buffer;
    if (!split_channel(channel, &id, &buffer)) return -1;
    return sound.slots[id].mixer_channel[buffer];
}
