/*
 * interval_histogram.cpp - draws histograms of frame intervals as a PNG, one
 * panel per window size, the game's menu and round beside the baseline.
 *
 * Usage: bench_histogram OUT.png PANEL...
 *   PANEL is TITLE:BASELINE:MENU:ROUND, the last three files of intervals in
 *   milliseconds, one a line (bench/run.sh writes them).
 * Bins are 0.5 ms wide from 0 to 40 ms (longer intervals count in the last);
 * a bar's height is the square root of its share of the frames, so the rare
 * long frames stay visible beside the 16.7 ms peak.  Labels use the
 * runtime's built-in font.
 */
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media/fonts.h"
#include "media/image.h"

namespace {

constexpr double BIN_MS = 0.5, RANGE_MS = 40;
constexpr int BINS = int(RANGE_MS / BIN_MS);
constexpr int BAR_W = 3, SERIES = 3;
constexpr int LEFT = 24, PLOT_W = BINS * BAR_W * SERIES, WIDTH = LEFT * 2 + PLOT_W;
constexpr int PLOT_H = 180, PANEL_H = PLOT_H + 48;
constexpr int CELL = 8;   // the built-in font's cell

struct Rgb {
    uint8_t r, g, b;
};
const Rgb BACKGROUND = {16, 20, 32}, AXIS = {160, 160, 170}, TEXT = {235, 235, 235};
const Rgb SERIES_COLOURS[SERIES] = {{110, 150, 230}, {120, 200, 120}, {230, 90, 80}};
const char* const SERIES_NAMES[SERIES] = {"baseline", "game menu", "game round"};

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgba;
    void fill(int x, int y, int w, int h, Rgb c)
    {
        for (int yy = std::max(y, 0); yy < std::min(y + h, height); ++yy)
            for (int xx = std::max(x, 0); xx < std::min(x + w, width); ++xx) {
                uint8_t* p = &rgba[(std::size_t(yy) * width + xx) * 4];
                p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
            }
    }
};

// Text in the built-in font: its white glyph pixels, in colour c.
void write_text(Canvas& canvas, const DecodedImage& font, int x, int y, const std::string& text,
                Rgb c)
{
    for (unsigned char ch : text) {
        const int cx = (ch % 16) * CELL, cy = (ch / 16) * CELL;
        for (int py = 0; py < CELL; ++py)
            for (int px = 0; px < CELL; ++px)
                if (font.pixels[(std::size_t(cy + py) * font.width + cx + px) * 4] == 255)
                    canvas.fill(x + px, y + py, 1, 1, c);
        x += CELL - 1;
    }
}

// The share of intervals in each bin.
std::vector<double> shares(const std::string& path)
{
    std::vector<double> bins(BINS, 0);
    std::ifstream in(path);
    double ms = 0, count = 0;
    while (in >> ms) {
        bins[std::clamp(int(ms / BIN_MS), 0, BINS - 1)] += 1;
        ++count;
    }
    for (double& bin : bins) bin = count > 0 ? bin / count : 0;
    return bins;
}

void draw_panel(Canvas& canvas, const DecodedImage& font, int top, const std::string& spec)
{
    std::vector<std::string> parts;
    std::stringstream fields(spec);
    for (std::string part; std::getline(fields, part, ':');) parts.push_back(part);
    if (parts.size() != 1 + SERIES) return;
    write_text(canvas, font, LEFT, top + 4, parts[0] + ": frame intervals, 0.5 ms bins", TEXT);
    for (int s = 0; s < SERIES; ++s) {
        const int key_x = LEFT + PLOT_W - (SERIES - s) * 110;
        canvas.fill(key_x, top + 4, 8, 8, SERIES_COLOURS[s]);
        write_text(canvas, font, key_x + 12, top + 4, SERIES_NAMES[s], TEXT);
        const std::vector<double> bins = shares(parts[1 + s]);
        for (int b = 0; b < BINS; ++b) {
            const int h = int(std::lround(std::sqrt(bins[b]) * PLOT_H));
            const int x = LEFT + (b * SERIES + s) * BAR_W;
            canvas.fill(x, top + 20 + PLOT_H - h, BAR_W, h, SERIES_COLOURS[s]);
        }
    }
    const int axis_y = top + 20 + PLOT_H;
    canvas.fill(LEFT, axis_y, PLOT_W, 1, AXIS);
    for (int ms = 0; ms <= int(RANGE_MS); ms += 5) {
        const int x = LEFT + int(ms / BIN_MS) * BAR_W * SERIES;
        canvas.fill(x, axis_y, 1, 4, AXIS);
        write_text(canvas, font, x - 3, axis_y + 6, std::to_string(ms), AXIS);
    }
    const int frame_x = LEFT + int(1000.0 / 60 / BIN_MS * BAR_W * SERIES);   // 16.7 ms
    for (int y = top + 20; y < axis_y; y += 4) canvas.fill(frame_x, y, 1, 2, AXIS);
    write_text(canvas, font, LEFT + PLOT_W - 24, axis_y + 16, "ms", AXIS);
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_histogram OUT.png TITLE:BASELINE:MENU:ROUND...\n");
        return 2;
    }
    const int panels = argc - 2;
    Canvas canvas{WIDTH, PANEL_H * panels, {}};
    canvas.rgba.resize(std::size_t(canvas.width) * canvas.height * 4);
    canvas.fill(0, 0, canvas.width, canvas.height, BACKGROUND);
    const DecodedImage font = builtin_font_image();
    for (int p = 0; p < panels; ++p) draw_panel(canvas, font, p * PANEL_H, argv[2 + p]);
    if (!write_png(argv[1], canvas.rgba.data(), canvas.width, canvas.height)) {
        std::fprintf(stderr, "bench_histogram: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
