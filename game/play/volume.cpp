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
    const double before = music_volume;
    if (key_down(KEY_PAGE_UP) && music_volume < MUSIC_VOLUME_CEILING && volume_cooldown == 0) {
        volume_cooldown = VOLUME_STEP_COOLDOWN;
        music_volume += MUSIC_VOLUME_STEP;
    }
    if (key_down(KEY_PAGE_DOWN) && music_volume > MUSIC_VOLUME_FLOOR && volume_cooldown == 0) {
        volume_cooldown = VOLUME_STEP_COOLDOWN;
        music_volume -= MUSIC_VOLUME_STEP;
    }
    if (music_volume != before && volume_changed_hook) volume_changed_hook();
    set_music_volume(music_volume);
    if (volume_cooldown > 0) volume_cooldown -= 1;
}
