/*
 * art_source.h - reads the art's text sources: the shared palette and the
 * pixel-map files that describe parts and the strips built from them.
 *
 * Palette file: one colour a line, "KEY #rrggbb name"; the key is one
 * character used in pixel maps, the name is how drawing code asks for it.
 * '.' is always transparent.  Lines starting with '#' are comments.
 *
 * Art file, statements one a line ('#' starts a comment line):
 *   color KEY #rrggbb name     a colour for this file only
 *   part NAME                  a pixel map: the rows follow, one character a
 *   ...rows...                 pixel (spaces ignored), up to a line "end"
 *   end
 *   sheet FILE FW FH PER_ROW COUNT   a strip of COUNT frames of FW x FH
 *   frame N                    the frame that the next operations draw:
 *     put NAME X Y [flip]        part NAME at (X, Y), mirrored with flip
 *     mirror M                   frame M of this sheet, mirrored
 *     copy M                     frame M of this sheet
 *     shift DX DY                moves everything drawn so far
 *     recolour A B               colour key A becomes colour key B
 *     solid M KEY                the shape of frame M in colour KEY
 *     clear X Y W H              a transparent rectangle
 *
 * Callers: art_set.cpp (every text source), lettering.cpp and
 * scenery_art.cpp (colours by name).  Not for: pictures drawn by code
 * (scenery, lettering, level).
 */
#pragma once

#include <map>
#include <string>
#include <vector>

#include "picture.h"
#include "strip.h"

struct Palette {
    std::map<char, Rgba> by_key;
    std::map<std::string, Rgba> by_name;
};

struct ArtSource {
    Palette palette;   // the shared palette with the file's own colours added
    std::map<std::string, Picture> parts;
    std::vector<Strip> strips;
};

bool load_palette(const std::string& path, Palette& out, std::string& error);

// The names of the house palette that the palette file lacks.
std::vector<std::string> missing_colour_names(const Palette& p);

// A colour by name; opaque magenta when the name is unknown (which
// missing_colour_names reports before any drawing starts).
Rgba named(const Palette& p, const std::string& name);

bool load_art_source(const std::string& path, const Palette& shared, ArtSource& out,
                     std::string& error);
