/*
 * gl_draw_web.cpp - the drawing of gl_draw.h on WebGL 2.
 *
 * One shader program does what the fixed pipeline did for 2D: the
 * projection, texels times the colour on up to two units, and the alpha
 * test as a discard.  One vertex buffer takes each draw's vertices afresh
 * (orphaning the last draw's), in a vertex array object set up once; quads
 * become pairs of triangles through a fixed buffer of 16-bit indices.
 *
 * Every call into WebGL crosses from WebAssembly to JavaScript and is
 * checked again by the browser, so the state set so far is kept here: the
 * uniforms, the switches, the bound textures and each texture's wrap and
 * filters.  A call that changes nothing makes no WebGL call.
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
};

struct Uniforms {
    GLint projection = -1;
    GLint colour = -1;
    GLint alpha_above = -1;
    GLint unit_on[UNITS] = {-1, -1};
};

// The state as WebGL has it, set through this file alone.
struct DrawState {
    GLuint program = 0;
    GLuint vertices = 0;
    Uniforms uniforms;
    int projection_width = 0;
    int projection_height = 0;
    std::array<float, 4> colour = {1, 1, 1, 1};
    bool alpha_test = false;
    float alpha_threshold = 0;
    float alpha_above = NO_ALPHA_TEST;
    bool plain = false;
    int blending = 0;
    int blend_adds = UNKNOWN;
    int active_unit = 0;
    std::array<uint32_t, UNITS> bound = {0, 0};
    std::array<bool, UNITS> texturing = {false, false};
    std::unordered_map<uint32_t, TextureSettings> textures;
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

void set_alpha_above()
{
    const float above = state.alpha_test ? state.alpha_threshold : NO_ALPHA_TEST;
    if (above == state.alpha_above) return;
    state.alpha_above = above;
    glUniform1f(state.uniforms.alpha_above, above);
}

TextureSettings& bound_settings()
{
    return state.textures[state.bound[std::size_t(state.active_unit)]];
}

// Sets a parameter pair (S and T, or min and mag) of the bound texture.
void set_texture_pair(GLint& known, GLenum first, GLenum second, GLint value)
{
    if (known == value) return;
    known = value;
    glTexParameteri(GL_TEXTURE_2D, first, value);
    glTexParameteri(GL_TEXTURE_2D, second, value);
}

// Gives the vertex buffer `bytes` of new vertices; the old store is let go.
void stream_vertices(const void* vertices, std::size_t bytes)
{
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices, GL_STREAM_DRAW);
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

void gl_draw_plain_state()
{
    if (state.plain) return;
    state.plain = true;
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_STENCIL_TEST, GL_DITHER}) glDisable(cap);
    glFrontFace(GL_CCW);
}

void gl_draw_projection(int width, int height)
{
    if (width == state.projection_width && height == state.projection_height) return;
    state.projection_width = width;
    state.projection_height = height;
    // glOrtho(0, width, height, 0, -1, 1), by columns.
    const GLfloat matrix[16] = {
        2.0f / float(width), 0, 0, 0, 0, -2.0f / float(height), 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
    glUniformMatrix4fv(state.uniforms.projection, 1, GL_FALSE, matrix);
}

void gl_draw_colour(float red, float green, float blue, float alpha)
{
    const std::array<float, 4> colour = {red, green, blue, alpha};
    if (colour == state.colour) return;
    state.colour = colour;
    glUniform4f(state.uniforms.colour, red, green, blue, alpha);
}

void gl_draw_alpha_test(bool on)
{
    state.alpha_test = on;
    set_alpha_above();
}

void gl_draw_alpha_threshold(float threshold)
{
    state.alpha_threshold = threshold;
    set_alpha_above();
}

void gl_draw_blending(bool on)
{
    if (int(on) == state.blending) return;
    state.blending = on;
    on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
}

void gl_draw_blend_adds(bool adds)
{
    if (int(adds) == state.blend_adds) return;
    state.blend_adds = adds;
    glBlendFunc(GL_SRC_ALPHA, adds ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

bool gl_draw_blending_on()
{
    return state.blending == 1;
}

void gl_draw_active_unit(int unit)
{
    if (unit == state.active_unit) return;
    state.active_unit = unit;
    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
}

void gl_draw_texturing(bool on)
{
    const std::size_t unit = std::size_t(state.active_unit);
    if (on == state.texturing[unit]) return;
    state.texturing[unit] = on;
    glUniform1i(state.uniforms.unit_on[unit], on);
}

uint32_t gl_draw_new_texture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    state.textures.erase(name);
    return name;
}

void gl_draw_bind_texture(uint32_t name)
{
    uint32_t& bound = state.bound[std::size_t(state.active_unit)];
    if (name == bound) return;
    bound = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

void gl_draw_delete_texture(uint32_t name)
{
    glDeleteTextures(1, &name);
    state.textures.erase(name);
    // Deleting a bound texture leaves its units with none.
    for (uint32_t& bound : state.bound)
        if (bound == name) bound = 0;
}

void gl_draw_texture_wrap(bool repeat)
{
    set_texture_pair(bound_settings().wrap, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T,
                     repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}

void gl_draw_texture_filter(bool linear)
{
    set_texture_pair(bound_settings().filter, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER,
                     linear ? GL_LINEAR : GL_NEAREST);
}

void gl_draw_quads(const QuadVertex* vertices, std::size_t quads)
{
    for (std::size_t done = 0; done < quads; done += MAX_QUADS) {
        const std::size_t count = std::min(quads - done, MAX_QUADS);
        stream_vertices(vertices + done * 4, count * 4 * sizeof(QuadVertex));
        glDrawElements(GL_TRIANGLES, GLsizei(count * 6), GL_UNSIGNED_SHORT, nullptr);
    }
}

void gl_draw_fan(const float vertices[4][4])
{
    QuadVertex corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = QuadVertex{vertices[i][0], vertices[i][1], 0, vertices[i][2], vertices[i][3]};
    stream_vertices(corners, sizeof corners);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void gl_draw_point(float x, float y)
{
    const QuadVertex point = {x, y, 0, 0, 0};
    stream_vertices(&point, sizeof point);
    glDrawArrays(GL_POINTS, 0, 1);
}
