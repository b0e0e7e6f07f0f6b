/*
 * share_desktop.cpp - Linux and Windows: no page to link to, so no Share.
 */
#include "game/shell/share.h"

bool sharing_offered()
{
    return false;
}

void share_run(const std::string&) {}
