// The music volume keys of the menu and the round.
#include "game/play/volume.h"

#include "game/play/world.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"

namespace {

void (*volume_changed_hook)() = nullptr;

}   // namespace

void set_volume_changed_hook(void (*hook)())
{
    volume_changed_hook = hook;
}

void update_music_volume()
{
    const double before = volumes.music;
    if (key_down(KEY_PAGE_UP) && volumes.music < MUSIC_VOLUME_CEILING &&
        screen_state.volume_cooldown == 0) {
        screen_state.volume_cooldown = VOLUME_STEP_COOLDOWN;
        volumes.music += MUSIC_VOLUME_STEP;
    }
    if (key_down(KEY_PAGE_DOWN) && volumes.music > MUSIC_VOLUME_FLOOR &&
        screen_state.volume_cooldown == 0) {
        screen_state.volume_cooldown = VOLUME_STEP_COOLDOWN;
        volumes.music -= MUSIC_VOLUME_STEP;
    }
    if (volumes.music != before && volume_changed_hook) volume_changed_hook();
    set_music_volume(volumes.music);
    if (screen_state.volume_cooldown > 0) screen_state.volume_cooldown -= 1;
}
