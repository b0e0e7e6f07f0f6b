// Parsing of the palette and of the pixel-map art files.
#include "art_source.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The house palette every picture draws from.
const char* const HOUSE_COLOURS[] = {
    "night-0",   "night-1", "night-2",    "ice",       "snow",      "white",       "outline",
    "red-dark",  "red",     "red-light",  "skin",      "skin-dark", "gold",        "orange",
    "wood-dark", "wood",    "wood-light", "brick",     "stone",     "stone-light", "green-dark",
    "green",     "pudding", "custard",    "blue-coat", "deer",      "deer-light",
};

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> words_of(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool parse_int(const std::string& s, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -100000 || v > 100000) return false;
    out = int(v);
    return true;
}

bool parse_hex_colour(const std::string& s, Rgba& out)
{
    if (s.size() != 7 || s[0] != '#') return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(s.c_str() + 1, &end, 16);
    if (*end != '\0') return false;
    out = rgb(uint32_t(v));
    return true;
}

// "KEY #rrggbb name": adds the colour to the palette.
bool add_colour(Palette& p, const std::vector<std::string>& w, std::string& error)
{
    Rgba c;
    if (w.size() < 2 || w[0].size() != 1 || w[0][0] == '.' || !parse_hex_colour(w[1], c)) {
        error = "a colour needs KEY #rrggbb [name]";
        return false;
    }
    p.by_key[w[0][0]] = c;
    if (w.size() > 2) p.by_name[w[2]] = c;
    return true;
}

// Where the parser stands in an art file.
struct Parser {
    ArtSource* out = nullptr;
    std::string part_name;   // non-empty while reading a part's rows
    std::vector<std::string> rows;
    int frame = -1;   // frame that operations draw into
};

bool finish_part(Parser& ps, std::string& error)
{
    std::size_t width = 0;
    for (const auto& r : ps.rows) width = std::max(width, r.size());
    Picture pic = make_picture(int(width), int(ps.rows.size()));
    for (std::size_t y = 0; y < ps.rows.size(); ++y)
        for (std::size_t x = 0; x < ps.rows[y].size(); ++x) {
            const char key = ps.rows[y][x];
            if (key == '.') continue;
            const auto found = ps.out->palette.by_key.find(key);
            if (found == ps.out->palette.by_key.end()) {
                error = "part " + ps.part_name + ": no colour for '" + std::string(1, key) + "'";
                return false;
            }
            set_pixel(pic, int(x), int(y), found->second);
        }
    ps.out->parts[ps.part_name] = pic;
    ps.part_name.clear();
    ps.rows.clear();
    return true;
}

bool start_sheet(Parser& ps, const std::vector<std::string>& w, std::string& error)
{
    int fw, fh, per_row, count;
    if (w.size() != 6 || !parse_int(w[2], fw) || !parse_int(w[3], fh) ||
        !parse_int(w[4], per_row) || !parse_int(w[5], count) || fw <= 0 || fh <= 0 ||
        per_row <= 0 || count <= 0) {
        error = "sheet needs FILE FW FH PER_ROW COUNT";
        return false;
    }
    ps.out->strips.push_back(make_strip(w[1], fw, fh, per_row, count));
    ps.frame = -1;
    return true;
}

// A frame number of the current sheet, for "frame", "mirror" and "copy".
bool frame_number(const Parser& ps, const std::string& word, int& n, std::string& error)
{
    if (ps.out->strips.empty() || !parse_int(word, n) || n < 0 ||
        n >= ps.out->strips.back().frame_count) {
        error = "no frame " + word + " in the current sheet";
        return false;
    }
    return true;
}

bool put_part(Parser& ps, Strip& s, const std::vector<std::string>& w, std::string& error)
{
    int x, y;
    const bool flip = w.size() == 5 && w[4] == "flip";
    if ((w.size() != 4 && !flip) || !parse_int(w[2], x) || !parse_int(w[3], y)) {
        error = "put needs NAME X Y [flip]";
        return false;
    }
    const auto part = ps.out->parts.find(w[1]);
    if (part == ps.out->parts.end()) {
        error = "no part " + w[1];
        return false;
    }
    draw_in_frame(s, ps.frame, part->second, x, y, flip);
    return true;
}

bool shift_frame(Parser& ps, Strip& s, const std::vector<std::string>& w, std::string& error)
{
    int dx, dy;
    if (w.size() != 3 || !parse_int(w[1], dx) || !parse_int(w[2], dy)) {
        error = "shift needs DX DY";
        return false;
    }
    const Picture before = frame_picture(s, ps.frame);
    set_frame(s, ps.frame, make_picture(s.frame_width, s.frame_height));
    draw_in_frame(s, ps.frame, before, dx, dy);
    return true;
}

bool recolour_frame(Parser& ps, Strip& s, const std::vector<std::string>& w, std::string& error)
{
    const auto& keys = ps.out->palette.by_key;
    if (w.size() != 3 || w[1].size() != 1 || w[2].size() != 1 || !keys.count(w[1][0]) ||
        !keys.count(w[2][0])) {
        error = "recolour needs two colour keys";
        return false;
    }
    Picture frame = frame_picture(s, ps.frame);
    recolour(frame, keys.at(w[1][0]), keys.at(w[2][0]));
    set_frame(s, ps.frame, frame);
    return true;
}

// "solid M KEY": the shape of frame M, every opaque pixel in colour KEY.
bool solid_frame(Parser& ps, Strip& s, const std::vector<std::string>& w, std::string& error)
{
    int n;
    const auto& keys = ps.out->palette.by_key;
    if (w.size() != 3 || w[2].size() != 1 || !keys.count(w[2][0]) ||
        !frame_number(ps, w[1], n, error)) {
        error = "solid needs a frame number and a colour key";
        return false;
    }
    Picture shape = frame_picture(s, n);
    for (int y = 0; y < shape.height; ++y)
        for (int x = 0; x < shape.width; ++x)
            if (opaque(shape, x, y)) set_pixel(shape, x, y, keys.at(w[2][0]));
    set_frame(s, ps.frame, shape);
    return true;
}

// "clear X Y W H": makes a rectangle of the frame transparent.
bool clear_rect(Parser& ps, Strip& s, const std::vector<std::string>& w, std::string& error)
{
    int x, y, cw, ch;
    if (w.size() != 5 || !parse_int(w[1], x) || !parse_int(w[2], y) || !parse_int(w[3], cw) ||
        !parse_int(w[4], ch)) {
        error = "clear needs X Y W H";
        return false;
    }
    Picture frame = frame_picture(s, ps.frame);
    fill_rect(frame, x, y, cw, ch, CLEAR);
    set_frame(s, ps.frame, frame);
    return true;
}

// One operation on the current frame.
bool frame_operation(Parser& ps, const std::vector<std::string>& w, std::string& error)
{
    if (ps.out->strips.empty() || ps.frame < 0) {
        error = w[0] + " outside a frame";
        return false;
    }
    Strip& s = ps.out->strips.back();
    const std::string& op = w[0];
    if (op == "put") return put_part(ps, s, w, error);
    if (op == "shift") return shift_frame(ps, s, w, error);
    if (op == "recolour") return recolour_frame(ps, s, w, error);
    if (op == "solid") return solid_frame(ps, s, w, error);
    if (op == "clear") return clear_rect(ps, s, w, error);
    if (op == "mirror" || op == "copy") {
        int n;
        if (w.size() != 2 || !frame_number(ps, w[1], n, error)) return false;
        const Picture source = frame_picture(s, n);
        set_frame(s, ps.frame, op == "mirror" ? flipped(source) : source);
        return true;
    }
    error = "unknown statement " + op;
    return false;
}

bool statement(Parser& ps, const std::vector<std::string>& w, std::string& error)
{
    const std::string& word = w[0];
    if (word == "color")
        return add_colour(ps.out->palette, std::vector<std::string>(w.begin() + 1, w.end()), error);
    if (word == "part") {
        if (w.size() != 2 || ps.out->parts.count(w[1])) {
            error = "part needs one new NAME";
            return false;
        }
        ps.part_name = w[1];
        return true;
    }
    if (word == "sheet") return start_sheet(ps, w, error);
    if (word == "frame") return w.size() == 2 && frame_number(ps, w[1], ps.frame, error);
    return frame_operation(ps, w, error);
}

bool parse_line(Parser& ps, const std::string& raw, std::string& error)
{
    const std::string line = trim(raw);
    if (!ps.part_name.empty()) {
        if (line == "end") return finish_part(ps, error);
        std::string row;
        for (char ch : line)
            if (ch != ' ' && ch != '\t') row += ch;
        ps.rows.push_back(row);
        return true;
    }
    if (line.empty() || line[0] == '#') return true;
    return statement(ps, words_of(line), error);
}

bool read_lines(const std::string& path, std::vector<std::string>& lines, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return true;
}

}   // namespace

bool load_palette(const std::string& path, Palette& out, std::string& error)
{
    std::vector<std::string> lines;
    if (!read_lines(path, lines, error)) return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = trim(lines[i]);
        if (line.empty() || line[0] == '#') continue;
        if (!add_colour(out, words_of(line), error)) {
            error = path + ":" + std::to_string(i + 1) + ": " + error;
            return false;
        }
    }
    return true;
}

std::vector<std::string> missing_colour_names(const Palette& p)
{
    std::vector<std::string> missing;
    for (const char* name : HOUSE_COLOURS)
        if (!p.by_name.count(name)) missing.push_back(name);
    return missing;
}

Rgba named(const Palette& p, const std::string& name)
{
    const auto found = p.by_name.find(name);
    return found == p.by_name.end() ? rgb(0xff00ff) : found->second;
}

bool load_art_source(const std::string& path, const Palette& shared, ArtSource& out,
                     std::string& error)
{
    std::vector<std::string> lines;
    if (!read_lines(path, lines, error)) return false;
    out = ArtSource{};
    out.palette = shared;
    Parser ps;
    ps.out = &out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!parse_line(ps, lines[i], error)) {
            error = path + ":" + std::to_string(i + 1) + ": " + error;
            return false;
        }
    if (!ps.part_name.empty()) {
        error = path + ": part " + ps.part_name + " has no end";
        return false;
    }
    return true;
}
