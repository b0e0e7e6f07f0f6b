// Which strips the game needs and how each one is made.
#include "art_set.h"

#include "art_source.h"
#include "game/shell/media_table.h"
#include "lettering.h"
#include "level_art.h"
#include "scenery_art.h"

namespace {

// Pixel-map sources; each declares the sheets it makes.
const char* const STRIP_SOURCES[] = {
    "santa.txt", "tiles.txt",  "sleigh.txt",  "puddings.txt", "soldier.txt",
    "deer.txt",  "ladder.txt", "present.txt", "snow.txt",     "oddments.txt",
};

// Tiles whose cells are conveyor belts: they show the belt's first frame
// (the game draws the moving belt over them).
struct BeltTile {
    int tile, conveyor_frame;
};
const BeltTile BELT_TILES[] = {{16, 0}, {17, 5}, {28, 0}, {29, 5}};

bool load_source(const std::string& dir, const std::string& file, const Palette& pal,
                 ArtSource& out, std::string& error)
{
    return load_art_source(dir + "/" + file, pal, out, error);
}

void show_belts_on_tiles(Strip& tiles3, const Strip& conveyor)
{
    for (const BeltTile& b : BELT_TILES)
        set_frame(tiles3, b.tile,
                  crop(frame_picture(conveyor, b.conveyor_frame), 0, 0, tiles3.frame_width,
                       tiles3.frame_height));
}

Strip* find_made(std::vector<Strip>& made, const std::string& file)
{
    for (Strip& s : made)
        if (s.file == file) return &s;
    return nullptr;
}

bool make_everything(const std::string& dir, const Palette& pal, std::vector<Strip>& made,
                     std::string& error)
{
    for (const char* file : STRIP_SOURCES) {
        ArtSource source;
        if (!load_source(dir, file, pal, source, error)) return false;
        made.insert(made.end(), source.strips.begin(), source.strips.end());
    }
    ArtSource glyphs, decorations;
    if (!load_source(dir, "font.txt", pal, glyphs, error) ||
        !load_source(dir, "decorations.txt", pal, decorations, error))
        return false;
    made.push_back(build_font(glyphs));
    made.push_back(build_title(glyphs));
    made.push_back(build_merry_christmas(glyphs));
    made.push_back(build_logo1(glyphs, decorations));
    made.push_back(build_logo2(glyphs, decorations));
    made.push_back(build_logo3(glyphs, decorations));
    made.push_back(build_sky(pal));
    made.push_back(build_trees(pal));
    made.push_back(build_lights(pal));
    made.push_back(build_conveyor(pal));
    Strip* tiles3 = find_made(made, "tiles3.png");
    if (!tiles3) {
        error = "tiles.txt makes no tiles3.png";
        return false;
    }
    show_belts_on_tiles(*tiles3, made.back());
    const Strip level = build_level_picture(*tiles3);
    const Strip small = build_small_tiles(*tiles3);
    made.push_back(level);
    made.push_back(small);
    made.push_back(build_map(small));
    return true;
}

}   // namespace

bool build_art_set(const std::string& asset_dir, std::vector<Strip>& out, std::string& error)
{
    Palette pal;
    if (!load_palette(asset_dir + "/palette.txt", pal, error)) return false;
    const std::vector<std::string> missing = missing_colour_names(pal);
    if (!missing.empty()) {
        error = "palette.txt lacks the colour " + missing.front();
        return false;
    }
    std::vector<Strip> made;
    if (!make_everything(asset_dir, pal, made, error)) return false;
    out.clear();
    for (std::size_t i = 0; i < STRIP_FILE_COUNT; ++i) {
        const StripFile& size = STRIP_FILES[i];
        const char* file = strip_entry_name(size);
        Strip* s = find_made(made, file);
        if (!s) {
            error = std::string("no source makes ") + file;
            return false;
        }
        if (s->frame_width != size.frame_width || s->frame_height != size.frame_height) {
            error = std::string(file) + " has the wrong frame size";
            return false;
        }
        out.push_back(*s);
    }
    if (made.size() != out.size()) {
        error = "a source makes a picture the game does not load";
        return false;
    }
    return true;
}
