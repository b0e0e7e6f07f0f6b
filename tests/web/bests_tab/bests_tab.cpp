/*
 * bests_tab.cpp - one tab's best result, entered by the game's own
 * enter_result into the page's folder, which web/storage.js keeps in the
 * browser's storage: tests/web/bests_tabs.js opens it in two tabs at once,
 * and the game's page then shows what was kept.  The browser build alone.
 *
 *   bests_tab FRAMES DATE     (its page starts it: Module.callMain)
 *
 * Prints where its log is ("log: PATH"), then when the result was not kept
 * the end screen's line that says why ("not kept: WHY"), and last
 * "entered FRAMES at place N" (0: not kept).
 */
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/log.h"
#include "game/play/texts.h"
#include "game/shell/bests.h"
#include "game/shell/settings.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bests_tab FRAMES DATE\n");
        return 2;
    }
    enable_settings();
    std::printf("log: %s\n", log_path().c_str());
    const RoundResult result{std::atof(argv[1]), 5, 6000, argv[2], Assists{}};
    StorageTrouble trouble = StorageTrouble::none;
    const int place = enter_result(result, "# a tab's round\nend 1\n", &trouble);
    if (trouble != StorageTrouble::none)
        std::printf("not kept: %s\n", text_for(not_kept_key(KeptFile::result, trouble)).c_str());
    std::printf("entered %s at place %d\n", argv[1], place);
    return 0;
}
