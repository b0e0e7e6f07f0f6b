/*
 * gl_draw_web.cpp - the drawing of gl_draw.h on WebGL 2.
 *
 * One shader program does what the fixed pipeline did for 2D: the
 * projection, texels times the colour on up to two units, and the alpha
 * test as a discard.  Draws are held back, each with the state it was asked
 * in, until gl_draw_sync (at the latest, when the frame is shown): then one
 * upload gives the vertex buffer all their vertices (orphaning the last
 * ones), in a vertex array object set up once, and the draws follow; quads
 * become pairs of triangles through a fixed buffer of 16-bit indices, so a
 * sync's quads stay below 65536 corners.
 *
 * Every call into WebGL crosses from WebAssembly to JavaScript and is
 * checked again by the browser, so the state set so far is kept here: the
 * uniforms, the switches, the bound textures and each texture's wrap and
 * filters.  A call that changes nothing makes no WebGL call, and what only
 * draws read (uniforms, blending, texture parameters) is set only before a
 * draw that needs it otherwise.
 */
#include <GLES3/gl3.h>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "media/gl_draw.h"

namespace {

constexpr int UNITS = 2;
constexpr GLuint POSITION = 0;
constexpr GLuint COORDS = 1;
// quad_batch's largest group; its corners are still 16-bit indices.
constexpr std::size_t MAX_QUADS = 16384;
// The alpha test off: every alpha is above this.
constexpr float NO_ALPHA_TEST = -1.0f;
constexpr int UNKNOWN = -1;

const char* const VERTEX_SHADER = R"(#version 300 es
uniform mat4 projection;
layout(location = 0) in vec4 position;
layout(location = 1) in vec2 coords;
out vec2 texel;
void main()
{
    gl_Position = projection * position;
    gl_PointSize = 1.0;
    texel = coords;
}
)";

// A second unit has no coordinates of its own: GL's current ones, (0, 0).
const char* const FRAGMENT_SHADER = R"(#version 300 es
precision highp float;
uniform sampler2D first_texture;
uniform sampler2D second_texture;
uniform bool first_on;
uniform bool second_on;
uniform vec4 colour;
uniform float alpha_above;
in vec2 texel;
out vec4 fragment;
void main()
{
    vec4 c = colour;
    if (first_on) c = texture(first_texture, texel) * c;
    if (second_on) c = texture(second_texture, vec2(0.0)) * c;
    if (!(c.a > alpha_above)) discard;
    fragment = c;
}
)";

// What a texture's parameters were last set to (GL values, or UNKNOWN).
struct TextureSettings {
    GLint wrap = UNKNOWN;
    GLint filter = UNKNOWN;
    bool operator==(const TextureSettings& other) const
    {
        return wrap == other.wrap && filter == other.filter;
    }
};

struct Uniforms {
    GLint projection = -1;
    GLint colour = -1;
    GLint alpha_above = -1;
    GLint unit_on[UNITS] = {-1, -1};
};

// What a draw needs of the state: the callers' choice as the draw was
// asked for, put into WebGL just before it is made.
struct DrawSettings {
    int projection_width = 0;
    int projection_height = 0;
    std::array<float, 4> colour = {1, 1, 1, 1};
    float alpha_above = NO_ALPHA_TEST;
    int blending = 0;
    int blend_adds = UNKNOWN;
    std::array<bool, UNITS> texturing = {false, false};
    std::array<uint32_t, UNITS> bound = {0, 0};
    std::array<TextureSettings, UNITS> bound_settings;   // of the textures on units texturing
};

// A draw held back until the frame's vertices go to WebGL at once.
struct HeldDraw {
    DrawSettings settings;
    GLenum mode;         // GL_TRIANGLES for quads, GL_TRIANGLE_FAN, GL_POINTS
    std::size_t first;   // vertex
    std::size_t count;   // vertices
};

// The callers' choices (wanted) and what WebGL has (applied), each made
// through this file alone.  Texture bindings reach WebGL at once while no
// draw is held (uploads and copies go to the bound texture); everything a
// draw alone reads reaches it only before a draw that needs it changed.
struct DrawState {
    GLuint program = 0;
    GLuint vertices = 0;
    Uniforms uniforms;
    DrawSettings wanted;
    DrawSettings applied;
    bool alpha_test = false;
    float alpha_threshold = 0;
    bool plain = false;
    int wanted_unit = 0;
    int applied_unit = 0;
    std::unordered_map<uint32_t, TextureSettings> wanted_textures;
    std::unordered_map<uint32_t, TextureSettings> applied_textures;
    std::vector<QuadVertex> held_vertices;
    std::vector<HeldDraw> held;
};
DrawState state;

GLuint compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint done = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
    if (done != GL_TRUE) {
        char log[512] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "snowbelter: a shader did not compile: %s\n", log);
    }
    return shader;
}

GLuint link_program()
{
    const GLuint program = glCreateProgram();
    const GLuint vertex = compile(GL_VERTEX_SHADER, VERTEX_SHADER);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint done = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &done);
    if (done != GL_TRUE) {
        char log[512] = "";
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "snowbelter: the drawing program did not link: %s\n", log);
    }
    return program;
}

// The corners of quad q, 4q to 4q + 3, as the triangles (0 1 2) and (0 2 3).
void make_quad_indices()
{
    std::vector<uint16_t> indices(MAX_QUADS * 6);
    for (std::size_t q = 0; q < MAX_QUADS; ++q) {
        const uint16_t first = uint16_t(q * 4);
        const uint16_t corners[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i) indices[q * 6 + i] = uint16_t(first + corners[i]);
    }
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint16_t)),
                 indices.data(), GL_STATIC_DRAW);
}

void make_vertex_array()
{
    GLuint array = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    glGenBuffers(1, &state.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, state.vertices);
    glEnableVertexAttribArray(POSITION);
    glEnableVertexAttribArray(COORDS);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), nullptr);
    glVertexAttribPointer(COORDS, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex),
                          reinterpret_cast<const void*>(offsetof(QuadVertex, u)));
    make_quad_indices();
}

// The uniforms' places, and their first values, which the state records.
void set_first_uniforms()
{
    const GLuint program = state.program;
    Uniforms& at = state.uniforms;
    at.projection = glGetUniformLocation(program, "projection");
    at.colour = glGetUniformLocation(program, "colour");
    at.alpha_above = glGetUniformLocation(program, "alpha_above");
    at.unit_on[0] = glGetUniformLocation(program, "first_on");
    at.unit_on[1] = glGetUniformLocation(program, "second_on");
    glUniform1i(glGetUniformLocation(program, "first_texture"), 0);
    glUniform1i(glGetUniformLocation(program, "second_texture"), 1);
    glUniform4f(at.colour, 1, 1, 1, 1);
    glUniform1f(at.alpha_above, NO_ALPHA_TEST);
    glUniform1i(at.unit_on[0], 0);
    glUniform1i(at.unit_on[1], 0);
}

void apply_unit(int unit)
{
    if (unit == state.applied_unit) return;
    state.applied_unit = unit;
    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
}

void apply_binding(int unit, uint32_t name)
{
    uint32_t& bound = state.applied.bound[std::size_t(unit)];
    if (name == bound) return;
    apply_unit(unit);
    bound = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

// WebGL's bindings and active unit as the callers chose them.
void apply_wanted_bindings()
{
    for (int unit = 0; unit < UNITS; ++unit)
        apply_binding(unit, state.wanted.bound[std::size_t(unit)]);
    apply_unit(state.wanted_unit);
}

// Sets a parameter pair (S and T, or min and mag) of the texture bound on
// the active unit.
void set_texture_pair(GLint& known, GLenum first, GLenum second, GLint value)
{
    if (known == value || value == UNKNOWN) return;
    known = value;
    glTexParameteri(GL_TEXTURE_2D, first, value);
    glTexParameteri(GL_TEXTURE_2D, second, value);
}

void apply_texture(int unit, uint32_t name, const TextureSettings& settings)
{
    apply_binding(unit, name);
    TextureSettings& applied = state.applied_textures[name];
    if (applied == settings) return;
    apply_unit(unit);
    set_texture_pair(applied.wrap, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, settings.wrap);
    set_texture_pair(applied.filter, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER, settings.filter);
}

void apply_projection(int width, int height)
{
    DrawSettings& applied = state.applied;
    if (width == applied.projection_width && height == applied.projection_height) return;
    applied.projection_width = width;
    applied.projection_height = height;
    // glOrtho(0, width, height, 0, -1, 1), by columns.
    const GLfloat matrix[16] = {
        2.0f / float(width), 0, 0, 0, 0, -2.0f / float(height), 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
    glUniformMatrix4fv(state.uniforms.projection, 1, GL_FALSE, matrix);
}

void apply_blending(const DrawSettings& wanted)
{
    DrawSettings& applied = state.applied;
    if (wanted.blending != applied.blending) {
        applied.blending = wanted.blending;
        wanted.blending ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    }
    // (Blending asked for before any blend function keeps WebGL's own.)
    if (wanted.blending && wanted.blend_adds != UNKNOWN &&
        wanted.blend_adds != applied.blend_adds) {
        applied.blend_adds = wanted.blend_adds;
        glBlendFunc(GL_SRC_ALPHA, wanted.blend_adds ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    }
}

// WebGL's state as a draw asked for it.
void apply_settings(const DrawSettings& wanted)
{
    DrawSettings& applied = state.applied;
    apply_projection(wanted.projection_width, wanted.projection_height);
    if (wanted.colour != applied.colour) {
        applied.colour = wanted.colour;
        const std::array<float, 4>& c = wanted.colour;
        glUniform4f(state.uniforms.colour, c[0], c[1], c[2], c[3]);
    }
    if (wanted.alpha_above != applied.alpha_above) {
        applied.alpha_above = wanted.alpha_above;
        glUniform1f(state.uniforms.alpha_above, wanted.alpha_above);
    }
    apply_blending(wanted);
    for (int unit = 0; unit < UNITS; ++unit) {
        const std::size_t u = std::size_t(unit);
        if (wanted.texturing[u]) apply_texture(unit, wanted.bound[u], wanted.bound_settings[u]);
        if (wanted.texturing[u] != applied.texturing[u]) {
            applied.texturing[u] = wanted.texturing[u];
            glUniform1i(state.uniforms.unit_on[u], wanted.texturing[u]);
        }
    }
}

// Holds back a draw of `count` vertices made in the current state; returns
// where its vertices go.  Quads start at a multiple of four vertices, for
// the fixed indices.
QuadVertex* hold_draw(GLenum mode, std::size_t count)
{
    std::vector<QuadVertex>& vertices = state.held_vertices;
    const std::size_t first =
        mode == GL_TRIANGLES ? (vertices.size() + 3) / 4 * 4 : vertices.size();
    if (first + count > MAX_QUADS * 4) {
        gl_draw_sync();
        return hold_draw(mode, count);
    }
    HeldDraw draw = {state.wanted, mode, first, count};
    for (std::size_t u = 0; u < UNITS; ++u)
        if (draw.settings.texturing[u])
            draw.settings.bound_settings[u] = state.wanted_textures[draw.settings.bound[u]];
    state.held.push_back(draw);
    vertices.resize(first + count);
    return vertices.data() + first;
}

void make_draw(const HeldDraw& draw)
{
    apply_settings(draw.settings);
    if (draw.mode == GL_TRIANGLES) {
        const std::size_t first_index = draw.first / 4 * 6;
        glDrawElements(GL_TRIANGLES, GLsizei(draw.count / 4 * 6), GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(first_index * sizeof(uint16_t)));
    } else {
        glDrawArrays(draw.mode, GLint(draw.first), GLsizei(draw.count));
    }
}

TextureSettings& bound_settings()
{
    return state.wanted_textures[state.wanted.bound[std::size_t(state.wanted_unit)]];
}

}   // namespace

void gl_draw_start()
{
    state = DrawState();
    state.program = link_program();
    glUseProgram(state.program);
    make_vertex_array();
    set_first_uniforms();
}

void gl_draw_sync()
{
    if (!state.held.empty()) {
        const std::vector<QuadVertex>& vertices = state.held_vertices;
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(QuadVertex)),
                     vertices.data(), GL_STREAM_DRAW);
        for (const HeldDraw& draw : state.held) make_draw(draw);
        state.held.clear();
        state.held_vertices.clear();
    }
    apply_wanted_bindings();
}

void gl_draw_plain_state()
{
    if (state.plain) return;
    gl_draw_sync();
    state.plain = true;
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_STENCIL_TEST, GL_DITHER}) glDisable(cap);
    glFrontFace(GL_CCW);
}

void gl_draw_projection(int width, int height)
{
    state.wanted.projection_width = width;
    state.wanted.projection_height = height;
}

void gl_draw_colour(float red, float green, float blue, float alpha)
{
    state.wanted.colour = {red, green, blue, alpha};
}

void gl_draw_alpha_test(bool on)
{
    state.alpha_test = on;
    state.wanted.alpha_above = on ? state.alpha_threshold : NO_ALPHA_TEST;
}

void gl_draw_alpha_threshold(float threshold)
{
    state.alpha_threshold = threshold;
    gl_draw_alpha_test(state.alpha_test);
}

void gl_draw_blending(bool on)
{
    state.wanted.blending = on;
}

void gl_draw_blend_adds(bool adds)
{
    state.wanted.blend_adds = adds;
}

bool gl_draw_blending_on()
{
    return state.wanted.blending == 1;
}

void gl_draw_active_unit(int unit)
{
    state.wanted_unit = unit;
    if (state.held.empty()) apply_unit(unit);
}

void gl_draw_texturing(bool on)
{
    state.wanted.texturing[std::size_t(state.wanted_unit)] = on;
}

uint32_t gl_draw_new_texture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    state.wanted_textures.erase(name);
    state.applied_textures.erase(name);
    return name;
}

void gl_draw_bind_texture(uint32_t name)
{
    state.wanted.bound[std::size_t(state.wanted_unit)] = name;
    if (state.held.empty()) apply_wanted_bindings();
}

void gl_draw_delete_texture(uint32_t name)
{
    gl_draw_sync();
    glDeleteTextures(1, &name);
    state.wanted_textures.erase(name);
    state.applied_textures.erase(name);
    // Deleting a bound texture leaves its units with none.
    for (DrawSettings* settings : {&state.wanted, &state.applied})
        for (uint32_t& bound : settings->bound)
            if (bound == name) bound = 0;
}

void gl_draw_texture_wrap(bool repeat)
{
    bound_settings().wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

void gl_draw_texture_filter(bool linear)
{
    bound_settings().filter = linear ? GL_LINEAR : GL_NEAREST;
}

void gl_draw_quads(const QuadVertex* vertices, std::size_t quads)
{
    for (std::size_t done = 0; done < quads; done += MAX_QUADS) {
        const std::size_t count = std::min(quads - done, MAX_QUADS) * 4;
        std::copy_n(vertices + done * 4, count, hold_draw(GL_TRIANGLES, count));
    }
}

void gl_draw_fan(const float vertices[4][4])
{
    QuadVertex* corners = hold_draw(GL_TRIANGLE_FAN, 4);
    for (int i = 0; i < 4; ++i)
        corners[i] = QuadVertex{vertices[i][0], vertices[i][1], 0, vertices[i][2], vertices[i][3]};
}

void gl_draw_point(float x, float y)
{
    *hold_draw(GL_POINTS, 1) = QuadVertex{x, y, 0, 0, 0};
}
