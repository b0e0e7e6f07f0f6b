// mkart OUTDIR ASSETDIR: builds every picture of the game from the art
// sources in ASSETDIR and writes them as PNG files into OUTDIR, under the
// names the game loads, plus contact_sheet.png for review.
#include <cstdio>
#include <string>
#include <vector>

#include "art_set.h"
#include "contact_sheet.h"
#include "media/image.h"

namespace {

bool save(const std::string& dir, const std::string& file, const Picture& p)
{
    const std::string path = dir + "/" + file;
    if (!write_png(path.c_str(), p.rgba.data(), p.width, p.height)) {
        std::fprintf(stderr, "mkart: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

const Strip* font_of(const std::vector<Strip>& strips)
{
    for (const Strip& s : strips)
        if (s.file == "font.png") return &s;
    return nullptr;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkart OUTDIR ASSETDIR\n");
        return 2;
    }
    const std::string out_dir = argv[1], asset_dir = argv[2];
    std::vector<Strip> strips;
    std::string error;
    if (!build_art_set(asset_dir, strips, error)) {
        std::fprintf(stderr, "mkart: %s\n", error.c_str());
        return 1;
    }
    for (const Strip& s : strips)
        if (!save(out_dir, s.file, s.picture)) return 1;
    const Strip* font = font_of(strips);
    return font && save(out_dir, "contact_sheet.png", build_contact_sheet(strips, *font)) ? 0 : 1;
}
