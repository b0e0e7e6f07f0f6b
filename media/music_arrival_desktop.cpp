/*
 * music_arrival_desktop.cpp - the desktop's music archive is installed with
 * the game: it is there from the start, and no page is listening.
 */
#include "media/music_arrival.h"

bool music_archive_on_its_way()
{
    return false;
}

void note_music_started(const char* /*name*/) {}
