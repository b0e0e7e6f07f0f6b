/*
 * bests_tab.cpp - one tab's best result, entered by the game's own
 * enter_result into the page's folder, which web/storage.js keeps in the
 * browser's storage: tests/web/bests_tabs.js opens it in two tabs at once,
 * and the game's page then shows what was kept.  The browser build alone.
 *
 *   bests_tab FRAMES DATE     (its page starts it: Module.callMain)
 *
 * Prints "entered FRAMES at place N" when it is kept, "not kept" when the
 * storage refused it.
 */
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/shell/bests.h"
#include "game/shell/settings.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bests_tab FRAMES DATE\n");
        return 2;
    }
    enable_settings();
    const RoundResult result{std::atof(argv[1]), 5, 6000, argv[2], Assists{}};
    const int place = enter_result(result, "# a tab's round\nend 1\n");
    std::printf("entered %s at place %d\n", argv[1], place);
    return 0;
}
