// mkart OUTDIR ASSETDIR [ICONDIR]: builds every picture of the game from the
// art sources in ASSETDIR and writes them as PNG files into OUTDIR, under the
// names the game loads, plus contact_sheet.png for review.  The application
// icon goes into OUTDIR too, as icon.png at the window's size; with ICONDIR
// it is also written at every size of the icon theme, under ICONDIR/hicolor,
// and at the browser page's sizes, under ICONDIR/web.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "art_set.h"
#include "contact_sheet.h"
#include "icon_art.h"
#include "media/image.h"

namespace {

bool save_png(const std::string& path, const Picture& p)
{
    if (!write_png(path.c_str(), p.rgba.data(), p.width, p.height)) {
        std::fprintf(stderr, "mkart: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

bool save(const std::string& dir, const std::string& file, const Picture& p)
{
    return save_png(dir + "/" + file, p);
}

// The icon's folders (hicolor/SxS/apps, web) are made as they are needed.
bool save_icon(const std::filesystem::path& path, const Picture& icon, int size)
{
    std::error_code failure;
    std::filesystem::create_directories(path.parent_path(), failure);
    if (failure) {
        std::fprintf(stderr, "mkart: cannot make %s\n", path.parent_path().c_str());
        return false;
    }
    return save_png(path.string(), icon_at(icon, size));
}

bool save_icons(const std::string& icon_root, const Picture& icon)
{
    for (int size : ICON_THEME_SIZES)
        if (!save_icon(icon_theme_file(icon_root, size), icon, size)) return false;
    for (int size : WEB_ICON_SIZES)
        if (!save_icon(web_icon_file(icon_root, size), icon, size)) return false;
    return true;
}

const Strip* font_of(const std::vector<Strip>& strips)
{
    for (const Strip& s : strips)
        if (s.file == "font.png") return &s;
    return nullptr;
}

// The strips followed by the window icon, as one more one-frame strip.
std::vector<Strip> with_icon(std::vector<Strip> strips, const Picture& window_icon)
{
    Strip icon = make_strip(WINDOW_ICON_FILE, window_icon.width, window_icon.height, 1, 1);
    set_frame(icon, 0, window_icon);
    strips.push_back(icon);
    return strips;
}

// The review sheet: every strip, then the window icon.
bool save_contact_sheet(const std::string& dir, const std::vector<Strip>& strips,
                        const Picture& window_icon)
{
    const Strip* font = font_of(strips);
    return font && save(dir, "contact_sheet.png",
                        build_contact_sheet(with_icon(strips, window_icon), *font));
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: mkart OUTDIR ASSETDIR [ICONDIR]\n");
        return 2;
    }
    const std::string out_dir = argv[1], asset_dir = argv[2];
    std::vector<Strip> strips;
    Picture icon;
    std::string error;
    if (!build_art_set(asset_dir, strips, error) || !build_icon(asset_dir, icon, error)) {
        std::fprintf(stderr, "mkart: %s\n", error.c_str());
        return 1;
    }
    for (const Strip& s : strips)
        if (!save(out_dir, s.file, s.picture)) return 1;
    const Picture window_icon = icon_at(icon, WINDOW_ICON_SIZE);
    if (!save(out_dir, WINDOW_ICON_FILE, window_icon)) return 1;
    if (argc == 4 && !save_icons(argv[3], icon)) return 1;
    return save_contact_sheet(out_dir, strips, window_icon) ? 0 : 1;
}
