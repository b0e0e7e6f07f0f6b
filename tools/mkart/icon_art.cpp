// The application icon, drawn once as a pixel map and enlarged.
#include "icon_art.h"

#include "art_source.h"

namespace {

// The application's id, which desktops match the icon's file name against.
const char* const APP_ID = "org.snowbelter.Snowbelter";

// Every size must be a whole number of grid steps, or the enlargement
// would have to blend or drop pixels.
constexpr bool every_size_is_whole_steps()
{
    for (int size : ICON_THEME_SIZES)
        if (size % ICON_GRID != 0) return false;
    for (int size : WEB_ICON_SIZES)
        if (size % ICON_GRID != 0) return false;
    return WINDOW_ICON_SIZE % ICON_GRID == 0;
}
static_assert(every_size_is_whole_steps(), "an icon size is not a multiple of the grid");

}   // namespace

bool build_icon(const std::string& asset_dir, Picture& out, std::string& error)
{
    Palette palette;
    ArtSource source;
    if (!load_palette(asset_dir + "/palette.txt", palette, error) ||
        !load_art_source(asset_dir + "/icon.txt", palette, source, error))
        return false;
    const auto found = source.parts.find("icon");
    if (found == source.parts.end()) {
        error = "icon.txt has no part icon";
        return false;
    }
    if (found->second.width != ICON_GRID || found->second.height != ICON_GRID) {
        error = "the icon is not " + std::to_string(ICON_GRID) + " x " + std::to_string(ICON_GRID);
        return false;
    }
    out = found->second;
    return true;
}

Picture icon_at(const Picture& icon, int size)
{
    return enlarged(icon, size / icon.width);
}

std::string icon_theme_file(const std::string& theme_root, int size)
{
    const std::string side = std::to_string(size);
    return theme_root + "/hicolor/" + side + "x" + side + "/apps/" + APP_ID + ".png";
}

std::string web_icon_file(const std::string& icon_root, int size)
{
    return icon_root + "/web/icon-" + std::to_string(size) + ".png";
}
