// The music volume keys of the menu and the round.
#include "game/play/volume.h"

#include "game/play/world.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"

namespace {

void (*volume_changed_hook)() = nullptr;

struct EffectsVolume {
    double full = 0;
    int level = EFFECTS_LEVEL_FULL;
};
EffectsVolume effects;

void update_effects_volume()
{
    volumes.sound = effects.full * (effects.level / double(EFFECTS_LEVEL_FULL));
}

}   // namespace

void set_full_effects_volume(double volume)
{
    effects.full = volume;
    update_effects_volume();
}

void set_effects_level(int level)
{
    effects.level = level < 0 ? 0 : level > EFFECTS_LEVEL_FULL ? EFFECTS_LEVEL_FULL : level;
    update_effects_volume();
}

int effects_level()
{
    return effects.level;
}

void set_volume_changed_hook(void (*hook)())
{
    volume_changed_hook = hook;
}

bool step_music_volume(int direction)
{
    if (direction > 0 && volumes.music < MUSIC_VOLUME_CEILING) {
        volumes.music += MUSIC_VOLUME_STEP;
        return true;
    }
    if (direction < 0 && volumes.music > MUSIC_VOLUME_FLOOR) {
        volumes.music -= MUSIC_VOLUME_STEP;
        return true;
    }
    return false;
}

void update_music_volume()
{
    const double before = volumes.music;
    // Page Up and Page Down each take a step, and each restarts the cooldown.
    for (int direction : {+1, -1}) {
        const int key = direction > 0 ? KEY_PAGE_UP : KEY_PAGE_DOWN;
        if (key_down(key) && screen_state.volume_cooldown == 0 && step_music_volume(direction))
            screen_state.volume_cooldown = VOLUME_STEP_COOLDOWN;
    }
    if (volumes.music != before && volume_changed_hook) volume_changed_hook();
    set_music_volume(volumes.music);
    if (screen_state.volume_cooldown > 0) screen_state.volume_cooldown -= 1;
}
