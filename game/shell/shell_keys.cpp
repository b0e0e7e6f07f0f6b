// The cooldown-gated key test of the front-end screens.
#include "game/shell/shell_keys.h"

#include "game/play/world.h"
#include "media/input.h"

bool key_free(int code)
{
    return key_down(code) && screen_state.key_cooldown == 0;
}
