/*
 * options_screen.h - the Options screen and its Assists screen: rows the
 * player chooses with up and down and changes with left and right, over the
 * menu's backdrop with the pudding cursor.
 *
 * Options: Music and Effects (bars), Display and Picture fit (where the
 * program owns its window), "Assists >", "Best results >" (the page of
 * results_screen.h), Language (following the system, or one of the game's
 * languages by its own name) and Back; the rows close up a little when all
 * of them are offered.  Assists: game speed, the
 * time limit, lives and safe falls, under one friendly line.  Every change is
 * in force at once (heard or seen), and saved.  Enter or the jump binding
 * opens a row that leads on; Escape (or a pad's Back) goes back.  The
 * screens run show_options (game/screens.h).
 *
 * Callers: the main menu's "Options" entry; tests.  Not for: what the
 * assists do to the rules (game/play/assists.h) or the file they are kept
 * in (settings.h).
 */
#pragma once

// Frames the screens ignore their keys after opening and after each step.
constexpr int OPTIONS_OPEN_COOLDOWN = 20;
constexpr int OPTIONS_STEP_COOLDOWN = 10;

// Cursor y of the first row and the distance between rows (at most).
constexpr int OPTIONS_CURSOR_FIRST_Y = 43;
constexpr int OPTIONS_ROW_SPACING = 25;

// The screen being shown, the row under the cursor (counted among the rows
// it shows), and whether Back or Escape asked to leave it.
enum class OptionsPage {
    options,
    assists
};
struct OptionsScreenState {
    OptionsPage page;
    int row;
    bool leaving;
};
extern OptionsScreenState options_screen;
