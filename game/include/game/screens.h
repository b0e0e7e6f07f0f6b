/*
 * screens.h - the shell's screens, as the menu hands over to them.
 *
 * Every screen is a loop of its own that ends by returning to the one that
 * called it.  The main menu runs the key screen and the options (which run
 * the Best results page, as the end screen does after a new best), and for
 * "Start Game" the story, the round (game/play/round.h, which returns how it
 * ended and shows no screen itself) and, after a won round, the end screen;
 * each returns to the menu.  Each screen's own header holds the rest of its
 * interface.
 *
 * Callers: start-up (main_menu) and the menu.  Not for: what happens inside
 * a screen, or the round, which is play's and never calls a screen.
 */
#pragma once

// Runs menu visits and the screens they choose in turn until Exit (or
// Escape) is chosen, then returns.  (game/shell/menu.cpp)
void main_menu();

// Runs the key screen until Escape, then copies the edited codes into the
// bindings and returns.  (game/shell/keys_screen.cpp)
void redefine_keys();

// Runs the options screen (and its assists screen) until Back or Escape,
// then returns; every change is in force and saved at once.
// (game/shell/options_screen.cpp)
void show_options();

// Runs the Best results page until Escape, then returns to the screen that
// opened it (the options or the end screen).  (game/shell/results_screen.cpp)
void show_results();

// Draws the story once as the background, lets snow fall over it and returns
// on the frame the jump binding is seen down once the cooldown has run out.
// (game/shell/story.cpp)
void show_story();

// The closing screen of a won round: "Merry Christmas" over falling snow,
// and the round's results, which enter the best results (unless the round
// was played back).  Returns once Enter, Escape, jump, a pad's Start or a
// touch is seen after its first 180 frames; cursor down then opens the Best
// results page (named after a new best).  (game/shell/end_screen.cpp)
void show_end_screen();
