// mksound OUTDIR ASSETDIR: renders the game's sound effects and tunes from
// their text sources in ASSETDIR into WAV files in OUTDIR (see soundset.h).
#include <cstdio>

#include "soundset.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mksound OUTDIR ASSETDIR\n");
        return 2;
    }
    std::string error;
    if (!build_sound_set(argv[1], argv[2], error)) {
        std::fprintf(stderr, "mksound: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
