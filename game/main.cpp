// The program: the runtime runs the game, which keeps the player's settings
// (tests and the replay runner run the same game without them).
#include "game/shell/settings.h"
#include "game/shell/startup.h"

int main(int argc, char** argv)
{
    enable_settings();
    return runtime_main(argc, argv, snowbelter_table);
}
