// The game's pictures as the art tool makes them: sizes, frames, the level
// picture against the level data, the sleigh's parts, the font's spacing,
// the application icon.  The tool runs once into a scratch folder; its PNG
// files are read back with the runtime's own PNG reader.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/data.h"
#include "core/errors.h"
#include "core/sbx_format.h"
#include "game/play/glyphs.h"
#include "game/shell/level_data.h"
#include "game/shell/media_table.h"
#include "media/image.h"
#include "mkart/art_source.h"
#include "mkart/level_art.h"
#include "support/exit_status.h"
#include "support/scratch_folder.h"

namespace {

const std::string MKART = std::string(SNOW_BINARY_DIR) + "/tools/mkart";
const std::string ART_SOURCES = std::string(SNOW_SOURCE_DIR) + "/assets/art";

// The game's own table: what mkart draws must be what start-up cuts.
std::vector<StripFile> game_strips()
{
    return std::vector<StripFile>(STRIP_FILES, STRIP_FILES + STRIP_FILE_COUNT);
}

// icon_dir: where the icon theme goes; empty for no theme.
int run_mkart(const std::string& out_dir, const std::string& asset_dir,
              const std::string& icon_dir = "")
{
    std::string command = "'" + MKART + "' '" + out_dir + "' '" + asset_dir + "'";
    if (!icon_dir.empty()) command += " '" + icon_dir + "'";
    return std::system((command + " > /dev/null 2>&1").c_str());
}

DecodedImage decode_png(const std::string& name, const std::vector<unsigned char>& bytes)
{
    DecodedImage image;
    read_png(image, name.c_str(), bytes.data(), bytes.size(), NO_COLOUR_KEY);
    return image;
}

DecodedImage load_png(const std::string& path)
{
    return decode_png(path, read_bytes(path));
}

int alpha_at(const DecodedImage& im, int x, int y)
{
    if (x < 0 || y < 0 || x >= im.width || y >= im.height) return 0;
    return im.pixels[(std::size_t(y) * im.width + x) * 4 + 3];
}

uint32_t colour_at(const DecodedImage& im, int x, int y)
{
    const uint8_t* p = &im.pixels[(std::size_t(y) * im.width + x) * 4];
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// One frame of a strip, numbered row by row as the game numbers them.
struct Frame {
    const DecodedImage* image;
    int x0, y0, width, height;

    int alpha(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return alpha_at(*image, x0 + x, y0 + y);
    }
    uint32_t colour(int x, int y) const { return colour_at(*image, x0 + x, y0 + y); }
    bool empty() const
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (alpha(x, y)) return false;
        return true;
    }
    // Lowest row with an opaque pixel, -1 when none.
    int lowest_row() const
    {
        for (int y = height - 1; y >= 0; --y)
            for (int x = 0; x < width; ++x)
                if (alpha(x, y)) return y;
        return -1;
    }
};

struct Strip {
    DecodedImage image;
    int frame_width = 0, frame_height = 0;

    int per_row() const { return image.width / frame_width; }
    int frame_count() const { return per_row() * (image.height / frame_height); }
    Frame frame(int n) const
    {
        return Frame{&image, (n % per_row()) * frame_width, (n / per_row()) * frame_height,
                     frame_width, frame_height};
    }
};

int cell(const std::vector<int>& cells, int c, int r)
{
    return cells[r * LEVEL_COLUMNS + c];
}

class ArtSet : public ::testing::Test {
protected:
    static ScratchFolder* folder;
    static int exit_code;
    static std::map<std::string, Strip>* strips;

    static void SetUpTestSuite()
    {
        folder = new ScratchFolder();
        exit_code = run_mkart(folder->path, ART_SOURCES, folder->path + "icons");
        strips = new std::map<std::string, Strip>();
        for (const StripFile& spec : game_strips()) {
            Strip s;
            s.image = load_png(folder->path + strip_entry_name(spec));
            s.frame_width = spec.frame_width;
            s.frame_height = spec.frame_height;
            (*strips)[strip_entry_name(spec)] = s;
        }
    }
    static void TearDownTestSuite()
    {
        delete strips;
        delete folder;
        strips = nullptr;
        folder = nullptr;
    }
    const Strip& strip(const std::string& file) const { return strips->at(file); }
    static std::string icon_file(int size)
    {
        const std::string side = std::to_string(size);
        return "hicolor/" + side + "x" + side + "/apps/org.snowbelter.Snowbelter.png";
    }
    DecodedImage icon(int size) const
    {
        return load_png(folder->path + "icons/" + icon_file(size));
    }
};

ScratchFolder* ArtSet::folder = nullptr;
int ArtSet::exit_code = -1;
std::map<std::string, Strip>* ArtSet::strips = nullptr;

// --- the set as a whole ------------------------------------------------------

TEST_F(ArtSet, ToolSucceedsAndWritesEveryPictureOfTheGame)
{
    EXPECT_EQ(exit_code, 0);
    for (const StripFile& spec : game_strips())
        EXPECT_GT(strip(strip_entry_name(spec)).image.width, 0) << spec.file;
    EXPECT_GT(load_png(folder->path + "contact_sheet.png").width, 0);
}

TEST_F(ArtSet, EveryPictureIsAWholeNumberOfFrames)
{
    for (const StripFile& spec : game_strips()) {
        const DecodedImage& im = strip(strip_entry_name(spec)).image;
        ASSERT_GT(im.width, 0) << spec.file;
        EXPECT_EQ(im.width % spec.frame_width, 0) << spec.file;
        EXPECT_EQ(im.height % spec.frame_height, 0) << spec.file;
    }
}

TEST_F(ArtSet, PixelsAreFullyOpaqueOrFullyTransparent)
{
    for (const StripFile& spec : game_strips()) {
        const DecodedImage& im = strip(strip_entry_name(spec)).image;
        std::size_t half_transparent = 0;
        for (std::size_t i = 3; i < im.pixels.size(); i += 4)
            half_transparent += im.pixels[i] != 0 && im.pixels[i] != 255;
        EXPECT_EQ(half_transparent, 0u) << spec.file;
    }
}

TEST_F(ArtSet, FramesTheGameDrawsAreNotEmpty)
{
    const std::map<std::string, std::vector<int>> drawn = {
        {"santa2.png", {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                        13, 14, 15, 16, 17, 18, 19, 24, 25, 26, 27, 31}},
        {"tiles3.png", {44, 45}},
        {"sky.png", {0}},
        {"sleigh2.png", {0, 1, 2, 3, 4, 5, 6, 7}},
        {"puddings.png", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"soldier.png", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"trees.png", {0}},
        {"snow.png", {0, 1, 2}},
        {"conveyor.png", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"lights.png", {0, 1, 2, 3, 4, 5, 6, 7}},
        {"present.png", {0, 1, 2, 3, 4, 5, 6}},
        {"platform2.png", {0}},
        {"ladder.png", {0}},
        {"snowbelter2.png", {0}},
        {"deer.png", {0, 1, 2, 3}},
        {"logo1.png", {0}},
        {"logo2.png", {0}},
        {"logo3.png", {0}},
        {"merry_christmas.png", {0}},
    };
    for (const auto& entry : drawn) {
        const Strip& s = strip(entry.first);
        for (int n : entry.second) {
            ASSERT_LT(n, s.frame_count()) << entry.first;
            EXPECT_FALSE(s.frame(n).empty()) << entry.first << " frame " << n;
        }
    }
}

TEST_F(ArtSet, EveryTileOfTheLevelHasAPicture)
{
    const Strip& tiles = strip("tiles3.png");
    std::set<int> used;
    for (int value : read_level_cells())
        if (value != 0) used.insert(value);
    for (int tile : used) {
        ASSERT_LT(tile, tiles.frame_count());
        EXPECT_FALSE(tiles.frame(tile).empty()) << "tile " << tile;
    }
}

// --- Santa ------------------------------------------------------------------

TEST_F(ArtSet, SantasCollisionShapeExistsAndSitsInsideHisPicture)
{
    const Strip& santa = strip("santa2.png");
    const Frame mask = santa.frame(31);
    ASSERT_FALSE(mask.empty());
    // Every pixel of the shape lies on Santa as he stands.
    const Frame standing = santa.frame(0);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.alpha(x, y)) {
                EXPECT_TRUE(standing.alpha(x, y)) << x << ", " << y;
            }
}

TEST_F(ArtSet, WalkingLeftIsWalkingRightMirrored)
{
    const Strip& santa = strip("santa2.png");
    for (int n = 0; n < 8; ++n) {
        const Frame right = santa.frame(n), left = santa.frame(n + 8);
        for (int y = 0; y < right.height; ++y)
            for (int x = 0; x < right.width; ++x)
                ASSERT_EQ(right.colour(x, y), left.colour(right.width - 1 - x, y))
                    << "frame " << n << " at " << x << ", " << y;
    }
}

TEST_F(ArtSet, FeetStandOnTheBottomRow)
{
    // Santa, the puddings on the ground, the soldiers and the presents on
    // their belts all rest on the bottom row of their frames.
    const Strip& santa = strip("santa2.png");
    for (int n : {0, 4, 8, 12, 16, 17, 18, 19})
        EXPECT_EQ(santa.frame(n).lowest_row(), 34) << "santa " << n;
    EXPECT_EQ(strip("puddings.png").frame(0).lowest_row(), 25);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(strip("soldier.png").frame(n).lowest_row(), 28) << "soldier " << n;
    for (int n = 0; n < 7; ++n)
        EXPECT_EQ(strip("present.png").frame(n).lowest_row(), 19) << "present " << n;
}

// --- the level picture --------------------------------------------------------

TEST_F(ArtSet, LevelPictureIsSolidExactlyWhereTheFloorsAre)
{
    const DecodedImage& level = strip("platform2.png").image;
    ASSERT_EQ(level.width, 640);
    ASSERT_EQ(level.height, 191);
    const std::vector<int> cells = read_level_cells();
    for (int r : {7, 14, 21}) {
        const int feet_line = 10 * r + 16 - 49;
        for (int c = 0; c < LEVEL_COLUMNS; ++c) {
            int opaque = 0;
            for (int x = 10 * c; x < 10 * c + 10; ++x) opaque += alpha_at(level, x, feet_line) != 0;
            if (cell(cells, c, r) != 0) {
                EXPECT_EQ(opaque, 10) << "floor cell " << c << ", " << r;
            } else {
                EXPECT_EQ(opaque, 0) << "gap cell " << c << ", " << r;
            }
        }
    }
}

TEST_F(ArtSet, LevelPictureIsTheTilesAtTheirCells)
{
    // The top row of every non-empty cell's own 10 x 10 square shows its tile.
    const DecodedImage& level = strip("platform2.png").image;
    const Strip& tiles = strip("tiles3.png");
    const std::vector<int> cells = read_level_cells();
    for (int r = 3; r < LEVEL_ROWS; ++r)
        for (int c = 0; c < LEVEL_COLUMNS; ++c) {
            const int tile = cell(cells, c, r);
            if (tile == 0) continue;
            const Frame f = tiles.frame(tile);
            const int y = 10 * r + 16 - 49;
            for (int x = 0; x < 10; ++x)
                if (f.alpha(x, 0)) {
                    EXPECT_EQ(colour_at(level, 10 * c + x, y), f.colour(x, 0))
                        << "cell " << c << ", " << r;
                }
        }
}

TEST_F(ArtSet, OpenAirAboveTheGround)
{
    // Below the upper floors' gaps nothing is drawn down to the floor
    // underneath, so Santa visibly falls through them.
    const DecodedImage& level = strip("platform2.png").image;
    const std::vector<int> cells = read_level_cells();
    for (int c = 0; c < LEVEL_COLUMNS; ++c) {
        if (cell(cells, c, 14) != 0 || cell(cells, c, 13) != 0 || cell(cells, c, 12) != 0) continue;
        for (int x = 10 * c; x < 10 * c + 10; ++x)
            EXPECT_EQ(alpha_at(level, x, 10 * 14 + 16 - 49), 0) << "column " << c;
    }
}

TEST_F(ArtSet, LaddersLineUpWithTheirShaftTiles)
{
    // Where a ladder crosses a shaft cell of the level picture, the ladder's
    // rails and rungs lie exactly over the rails and rungs of the tiles.
    struct LadderPlace {
        int x, top;
    };
    const LadderPlace ladders[] = {{90, 119}, {210, 119}, {330, 49}, {610, 49}, {470, 119}};
    const Frame ladder = strip("ladder.png").frame(0);
    const DecodedImage& level = strip("platform2.png").image;
    const std::vector<int> cells = read_level_cells();
    for (const LadderPlace& l : ladders) {
        int compared = 0;
        for (int p = 0; p < ladder.height; ++p) {
            const int world_y = l.top + p;
            const int r = (world_y - 16) / 10;
            const bool shaft = cell(cells, l.x / 10, r) == 11 && cell(cells, l.x / 10 + 1, r) == 12;
            // The top four rows of a cell may lie under the tile above it.
            const bool own_rows = world_y - (10 * r + 16) >= 4;
            if (!shaft || !own_rows) continue;
            for (int x = 0; x < ladder.width; ++x) {
                EXPECT_EQ(ladder.alpha(x, p), alpha_at(level, l.x + x, world_y - 49))
                    << "ladder " << l.x << " row " << p;
                ++compared;
            }
        }
        EXPECT_GT(compared, 0) << "ladder " << l.x;
    }
}

TEST_F(ArtSet, LevelDataHoldsTheLayout)
{
    EXPECT_EQ(level_data.count, 1408);
    const std::vector<int> cells = read_level_cells();
    EXPECT_EQ(cell(cells, 61, 6), 1);
    EXPECT_EQ(cell(cells, 33, 3), 9);
    EXPECT_EQ(cell(cells, 0, 2), 16);
    EXPECT_EQ(cell(cells, 29, 2), 17);
    EXPECT_EQ(cell(cells, 31, 6), 29);
    for (int c = 0; c < LEVEL_COLUMNS; ++c) {
        EXPECT_EQ(cell(cells, c, 0), 0);
        EXPECT_EQ(cell(cells, c, 1), 0);
        EXPECT_NE(cell(cells, c, 21), 0) << "ground column " << c;
    }
}

TEST(LevelDataDeathTest, ReadingPastTheLayoutIsOutOfData)
{
    EXPECT_RUNTIME_FAULT(
        {
            read_level_cells();
            double extra = 0;
            read_data(extra);
        },
        STATUS_OUT_OF_DATA);
}

// --- the sleigh -----------------------------------------------------------------

TEST_F(ArtSet, SleighPartsAssembleIntoOneSleigh)
{
    // Parts at their slots: x 125 + 17 (id mod 4), y 108 for ids 0-3 and 132
    // for 4-7, i.e. a 4 x 2 grid of 17 x 24 frames.
    const Strip& sleigh = strip("sleigh2.png");
    const int w = 4 * 17, h = 2 * 24;
    std::vector<int> solid(w * h, 0);
    for (int id = 0; id < 8; ++id) {
        const Frame f = sleigh.frame(id);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 17; ++x)
                solid[(24 * (id / 4) + y) * w + 17 * (id % 4) + x] = f.alpha(x, y) != 0;
    }
    // One 4-connected shape, no part left floating.
    std::vector<int> seen(w * h, 0);
    std::vector<int> todo;
    int first = -1, total = 0;
    for (int i = 0; i < w * h; ++i)
        if (solid[i]) {
            ++total;
            if (first < 0) first = i;
        }
    ASSERT_GE(first, 0);
    todo.push_back(first);
    seen[first] = 1;
    int reached = 0;
    while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        ++reached;
        const int x = i % w, y = i / w;
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : next)
            if (n[0] >= 0 && n[1] >= 0 && n[0] < w && n[1] < h && solid[n[1] * w + n[0]] &&
                !seen[n[1] * w + n[0]]) {
                seen[n[1] * w + n[0]] = 1;
                todo.push_back(n[1] * w + n[0]);
            }
    }
    EXPECT_EQ(reached, total);
    // Every seam between neighbouring parts is crossed by the sleigh.
    for (int seam_x : {17, 34, 51})
        for (int half = 0; half < 2; ++half) {
            int joined = 0;
            for (int y = 24 * half; y < 24 * half + 24; ++y)
                joined += solid[y * w + seam_x - 1] && solid[y * w + seam_x];
            EXPECT_GT(joined, 0) << "seam at x " << seam_x << " row " << half;
        }
    for (int column = 0; column < 4; ++column) {
        int joined = 0;
        for (int x = 17 * column; x < 17 * column + 17; ++x)
            joined += solid[23 * w + x] && solid[24 * w + x];
        EXPECT_GT(joined, 0) << "seam under part " << column;
    }
    // The runners rest on the floor line under the lower row.
    for (int id = 4; id < 8; ++id) EXPECT_EQ(sleigh.frame(id).lowest_row(), 23) << "part " << id;
}

// --- scenery ------------------------------------------------------------------------

TEST_F(ArtSet, ConveyorSegmentsJoinAndStayAboveTheFloorLine)
{
    const Strip& belt = strip("conveyor.png");
    for (int n = 0; n < 5; ++n) {
        const Frame f = belt.frame(n);
        // Segments are 10 apart and 12 wide: the last two columns are the
        // next segment's first two.
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(f.colour(x, y), f.colour(x + 10, y)) << "frame " << n;
    }
    for (int n = 0; n < 10; ++n) EXPECT_LE(belt.frame(n).lowest_row(), 9) << "frame " << n;
}

TEST_F(ArtSet, ConveyorFramesMoveTheBelt)
{
    const Strip& belt = strip("conveyor.png");
    for (int n = 0; n < 5; ++n) {
        bool differs = false;
        const Frame a = belt.frame(n), b = belt.frame((n + 1) % 5);
        for (int y = 0; y < a.height && !differs; ++y)
            for (int x = 0; x < a.width && !differs; ++x)
                differs = a.colour(x, y) != b.colour(x, y);
        EXPECT_TRUE(differs) << "frames " << n << " and " << (n + 1) % 5;
    }
}

TEST_F(ArtSet, SkyFillsItsWholeSlice)
{
    const Frame sky = strip("sky.png").frame(0);
    for (int y = 0; y < sky.height; ++y)
        for (int x = 0; x < sky.width; ++x) ASSERT_EQ(sky.alpha(x, y), 255) << x << ", " << y;
}

// --- the font -------------------------------------------------------------------------

int text_advance(char c)
{
    switch (c) {
    case '!':
    case '\'':
    case '(':
    case ')':
    case '.': return 7 - 3;
    case 'I':
    case 'i':
    case 'l': return 7 - 4;
    case 'M':
    case 'W':
    case 'm':
    case 'w': return 7 + 1;
    case 'f':
    case 't': return 7 - 1;
    default: return 7;
    }
}

TEST_F(ArtSet, FontHasEveryPrintableCharacterAndTheSpaceIsBlank)
{
    const Strip& font = strip("font.png");
    ASSERT_GE(font.frame_count(), 95);
    EXPECT_TRUE(font.frame(0).empty());
    for (int code = 33; code <= 126; ++code)
        EXPECT_FALSE(font.frame(code - 32).empty()) << char(code);
}

TEST_F(ArtSet, EveryGlyphFitsTheTextRoutinesSpacing)
{
    // A glyph with its outline may share one column with its neighbour's
    // outline, never more: its opaque columns span at most advance + 1.
    const Strip& font = strip("font.png");
    for (int code = 33; code <= 126; ++code) {
        const Frame f = font.frame(code - 32);
        int last = -1;
        for (int x = 0; x < f.width; ++x)
            for (int y = 0; y < f.height; ++y)
                if (f.alpha(x, y)) last = x;
        EXPECT_LE(last + 1, text_advance(char(code)) + 1) << char(code);
    }
}

// The accented capitals: one row shorter, their accents in the cell's top row.
bool is_shortened_capital(uint32_t character)
{
    static const std::vector<uint32_t> capitals = text_characters("ÀÁÂÃÄÈÉÊËÌÍÎÏÑÒÓÔÕÖÙÚÛÜŸĆŃŚŹŻ");
    return std::find(capitals.begin(), capitals.end(), character) != capitals.end();
}

struct Box {
    int left = 99, right = -1, top = 99, bottom = -1;
};

// The white body of a font frame, checking on the way that every body pixel
// is outlined wherever the cell has room and every outline pixel touches it.
Box outlined_body(const Frame& f, const std::string& name)
{
    const uint32_t body = 0xffffffff;
    auto is_body = [&f, body](int x, int y) { return f.alpha(x, y) && f.colour(x, y) == body; };
    Box box;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            if (!f.alpha(x, y)) continue;
            bool body_near = false, open_near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const bool inside =
                        x + dx >= 0 && x + dx < f.width && y + dy >= 0 && y + dy < f.height;
                    body_near = body_near || is_body(x + dx, y + dy);
                    open_near = open_near || (inside && !f.alpha(x + dx, y + dy));
                }
            if (!is_body(x, y)) {
                EXPECT_TRUE(body_near) << name << " outline at " << x << ", " << y;
                continue;
            }
            EXPECT_FALSE(open_near) << name << " unoutlined at " << x << ", " << y;
            box = Box{std::min(box.left, x), std::max(box.right, x), std::min(box.top, y),
                      std::max(box.bottom, y)};
        }
    return box;
}

TEST_F(ArtSet, LettersBeyondAsciiAreOutlinedBodiesAsWideAsTheirSpacing)
{
    const Strip& font = strip("font.png");
    ASSERT_GE(font.frame_count(), FONT_FRAME_COUNT);
    for (int frame = FONT_ASCII_FRAMES; frame < FONT_FRAME_COUNT; ++frame) {
        const uint32_t character = font_frame_character(frame);
        const std::string name = utf8_of(character);
        const Box box = outlined_body(font.frame(frame), name);
        ASSERT_GE(box.right, 0) << name << " is blank";
        // 5 wide in a 7-pixel advance and narrow ones by their entry, with
        // room for their outlines; wide ones (7, as M) share an outline column
        // with the next letter.
        const int spacing = font_spacing(frame);
        EXPECT_EQ(box.right - box.left + 1, FONT_ADVANCE - 2 + spacing + (spacing > 0 ? 1 : 0))
            << name;
        EXPECT_EQ(box.left, 1) << name;
        EXPECT_LE(box.bottom, 9) << name;
        if (is_shortened_capital(character)) {
            EXPECT_EQ(box.top, 0) << name;      // the accent's top row
            EXPECT_EQ(box.bottom, 7) << name;   // on the baseline
        } else {
            EXPECT_GE(box.top, 1) << name;
        }
    }
}

// --- the application icon ---------------------------------------------------------

const int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};

uint32_t colour_value(Rgba c)
{
    return uint32_t(c.r) << 24 | uint32_t(c.g) << 16 | uint32_t(c.b) << 8 | c.a;
}

Palette house_palette()
{
    Palette palette;
    std::string error;
    EXPECT_TRUE(load_palette(ART_SOURCES + "/palette.txt", palette, error)) << error;
    return palette;
}

bool same_pixels(const DecodedImage& a, const DecodedImage& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

TEST_F(ArtSet, IconIsAnRgbaSquareAtEveryThemeSize)
{
    for (int size : ICON_SIZES) {
        const std::string path = folder->path + "icons/" + icon_file(size);
        const std::vector<unsigned char> bytes = read_bytes(path);
        ASSERT_GT(bytes.size(), 26u) << path;
        // The header's bit depth and colour type: 8 bits, RGBA.
        EXPECT_EQ(bytes[24], 8) << size;
        EXPECT_EQ(bytes[25], 6) << size;
        const DecodedImage im = decode_png(path, bytes);
        EXPECT_EQ(im.width, size);
        EXPECT_EQ(im.height, size);
    }
}

TEST_F(ArtSet, IconDrawsSantaInHouseColoursOnAClearGround)
{
    const Palette palette = house_palette();
    std::set<uint32_t> house, used;
    for (const auto& entry : palette.by_name) house.insert(colour_value(entry.second));
    const DecodedImage im = icon(16);
    ASSERT_EQ(im.width, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (alpha_at(im, x, y)) {
                used.insert(colour_at(im, x, y));
                EXPECT_TRUE(house.count(colour_at(im, x, y))) << x << ", " << y;
            }
    for (const char* name : {"red", "snow", "skin", "outline"})
        EXPECT_TRUE(used.count(colour_value(named(palette, name)))) << name;
}

TEST_F(ArtSet, IconIsOutlinedWithClearCornersAndASolidMiddle)
{
    const uint32_t outline = colour_value(named(house_palette(), "outline"));
    const DecodedImage im = icon(16);
    ASSERT_EQ(im.width, 16);
    for (int x : {0, 15})
        for (int y : {0, 15}) EXPECT_EQ(alpha_at(im, x, y), 0) << x << ", " << y;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) EXPECT_EQ(alpha_at(im, x, y), 255) << x << ", " << y;
    // Every pixel on the silhouette's edge is the characters' dark outline.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool edge = !alpha_at(im, x - 1, y) || !alpha_at(im, x + 1, y) ||
                              !alpha_at(im, x, y - 1) || !alpha_at(im, x, y + 1);
            if (alpha_at(im, x, y) && edge) {
                EXPECT_EQ(colour_at(im, x, y), outline) << x << ", " << y;
            }
        }
}

TEST_F(ArtSet, LargerIconsAreWholeStepEnlargementsOfTheSmallest)
{
    const DecodedImage base = icon(16);
    ASSERT_EQ(base.width, 16);
    for (int size : ICON_SIZES) {
        const DecodedImage im = icon(size);
        ASSERT_EQ(im.width, size);
        ASSERT_EQ(im.height, size);
        const int step = size / 16;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(colour_at(im, x, y), colour_at(base, x / step, y / step))
                    << size << " at " << x << ", " << y;
    }
}

// The browser page's manifest icons: the same face, enlarged by whole steps.
TEST_F(ArtSet, WebIconsAreWholeStepEnlargementsOfTheSmallest)
{
    const DecodedImage base = icon(16);
    ASSERT_EQ(base.width, 16);
    for (int size : {192, 512}) {
        const DecodedImage im =
            load_png(folder->path + "icons/web/icon-" + std::to_string(size) + ".png");
        ASSERT_EQ(im.width, size);
        ASSERT_EQ(im.height, size);
        const int step = size / 16;
        for (int y = 0; y < size; y += step / 2)
            for (int x = 0; x < size; x += step / 2)
                ASSERT_EQ(colour_at(im, x, y), colour_at(base, x / step, y / step))
                    << size << " at " << x << ", " << y;
    }
}

// The build's own outputs, against what the tool draws from the sources now.
TEST_F(ArtSet, BuildFolderHoldsTheIconTheme)
{
    for (int size : ICON_SIZES) {
        const DecodedImage built =
            load_png(std::string(SNOW_BINARY_DIR) + "/icons/" + icon_file(size));
        EXPECT_EQ(built.width, size);
        EXPECT_TRUE(same_pixels(built, icon(size))) << size;
    }
}

TEST_F(ArtSet, GfxArchiveHoldsTheWindowIcon)
{
    SbxSource archive;
    SbxDirectory directory;
    SbxEntry entry;
    MemoryBlock bytes;
    ASSERT_TRUE(sbx_open((std::string(SNOW_BINARY_DIR) + "/media/gfx.sbx").c_str(), archive));
    ASSERT_TRUE(sbx_read_trailer(archive, directory));
    ASSERT_TRUE(sbx_find_entry(archive, directory, "icon.png", entry));
    ASSERT_EQ(sbx_unpack(archive, entry, bytes), SbxUnpack::unpacked);
    const DecodedImage packed = decode_png("icon.png", bytes);
    EXPECT_EQ(packed.width, 64);
    EXPECT_EQ(packed.height, 64);
    EXPECT_TRUE(same_pixels(packed, icon(64)));
}

// --- failures ---------------------------------------------------------------------

// The game's art sources, copied for a test to spoil.
void copy_art_sources(const ScratchFolder& to)
{
    std::filesystem::copy(ART_SOURCES, to.path, std::filesystem::copy_options::recursive);
}

TEST(ArtTool, RefusesAMissingSourceFolder)
{
    ScratchFolder out;
    EXPECT_NE(run_mkart(out.path, out.path + "no-such-folder"), 0);
    EXPECT_FALSE(path_exists(out.path + "santa2.png"));
}

TEST(ArtTool, RefusesAPixelMapWithAnUnknownColour)
{
    ScratchFolder out, sources;
    copy_art_sources(sources);
    std::ofstream(sources.path + "snow.txt", std::ios::app) << "part broken\n.?.\nend\n";
    EXPECT_NE(run_mkart(out.path, sources.path), 0);
}

TEST(ArtTool, RefusesAPictureOfTheWrongFrameSize)
{
    ScratchFolder out, sources;
    copy_art_sources(sources);
    std::ofstream(sources.path + "snow.txt") << "sheet snow.png 4 4 3 3\n";
    EXPECT_NE(run_mkart(out.path, sources.path), 0);
}

TEST(ArtTool, RefusesAnIconThatIsNotSixteenSquare)
{
    ScratchFolder out, sources;
    copy_art_sources(sources);
    std::ofstream(sources.path + "icon.txt") << "part icon\nKKK\nKKK\nend\n";
    EXPECT_NE(run_mkart(out.path, sources.path, out.path + "icons"), 0);
    EXPECT_FALSE(path_exists(out.path + "icon.png"));
}

}   // namespace
