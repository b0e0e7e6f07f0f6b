/*
 * music_arrival.h - whether the music archive is still on its way, and
 * word that a piece started, for whoever watches.
 *
 * On the desktop the music archive is on disk before the game starts: it is
 * never on its way, and nobody watches (music_arrival_desktop.cpp).  A
 * browser page shows the menu before its music has downloaded: the page
 * fetches the archive in the background and writes it where the game looks
 * (web/page.js); until it has landed, or failed for good, it is on its way
 * (music_arrival_web.cpp), and the page's tests hear which pieces started.
 *
 * Callers: music.cpp alone.  Not for: finding the archive's entries
 * (archive.h) or playing them (music.h).
 */
#pragma once

// True while the music archive may still arrive.
bool music_archive_on_its_way();

// A piece has started playing.
void note_music_started(const char* name);
