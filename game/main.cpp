// The program: the runtime runs the game.
#include "game/shell/startup.h"

int main(int argc, char** argv)
{
    return runtime_main(argc, argv, snowbelter_entry);
}
