/*
 * gl_draw_desktop.cpp - the drawing of gl_draw.h as GL 1.x calls, one or
 * two a piece, with no copy of the state: the driver keeps it.
 */
#include <GL/gl.h>
#include <GL/glext.h>
#include <initializer_list>

#include "media/gl_draw.h"

void gl_draw_start() {}

void gl_draw_sync() {}

void gl_draw_plain_state()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    for (GLenum cap :
         {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING,
          GL_COLOR_MATERIAL, GL_DITHER, GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL})
        glDisable(cap);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
}

void gl_draw_projection(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void gl_draw_colour(float red, float green, float blue, float alpha)
{
    glColor4f(red, green, blue, alpha);
}

void gl_draw_alpha_test(bool on)
{
    on ? glEnable(GL_ALPHA_TEST) : glDisable(GL_ALPHA_TEST);
}

void gl_draw_alpha_threshold(float threshold)
{
    glAlphaFunc(GL_GREATER, threshold);
}

void gl_draw_blending(bool on)
{
    on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
}

void gl_draw_blend_adds(bool adds)
{
    glBlendFunc(GL_SRC_ALPHA, adds ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

bool gl_draw_blending_on()
{
    return glIsEnabled(GL_BLEND) == GL_TRUE;
}

void gl_draw_active_unit(int unit)
{
    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
}

void gl_draw_texturing(bool on)
{
    on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
}

uint32_t gl_draw_new_texture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

void gl_draw_bind_texture(uint32_t name)
{
    glBindTexture(GL_TEXTURE_2D, name);
}

void gl_draw_delete_texture(uint32_t name)
{
    glDeleteTextures(1, &name);
}

void gl_draw_texture_wrap(bool repeat)
{
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

void gl_draw_texture_filter(bool linear)
{
    const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void gl_draw_quads(const QuadVertex* vertices, std::size_t quads)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(QuadVertex), &vertices->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &vertices->u);
    glDrawArrays(GL_QUADS, 0, GLsizei(quads * 4));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void gl_draw_fan(const float vertices[4][4])
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(vertices[0]), &vertices[0][0]);
    glTexCoordPointer(2, GL_FLOAT, sizeof(vertices[0]), &vertices[0][2]);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void gl_draw_point(float x, float y)
{
    glBegin(GL_POINTS);
    glVertex2f(x, y);
    glEnd();
}
