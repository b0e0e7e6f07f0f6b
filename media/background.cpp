// The background layers: their tiles, release, and blits back into the
// drawing picture.
#include "media/background.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>

#include "media/quad_batch.h"
#include "media/screen_picture.h"

namespace {

BackgroundLayer layers[BACKGROUND_LAYERS] = {};

// The tile's texture as a framebuffer to blit from, made on first use.
uint32_t tile_framebuffer(BackgroundTile& tile)
{
    if (tile.framebuffer == 0) {
        glGenFramebuffers(1, &tile.framebuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, tile.framebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               tile.texture, 0);
    }
    return tile.framebuffer;
}

}   // namespace

BackgroundLayer& background_layer(int layer)
{
    return layers[layer];
}

void clear_background(int layer, bool gl_alive)
{
    BackgroundLayer& target = layers[layer];
    for (auto& column : target.tiles)
        for (BackgroundTile& tile : column) {
            delete_texture(tile.texture, gl_alive);
            forget_tile_framebuffer(tile, gl_alive);
        }
    target = BackgroundLayer();
}

void forget_tile_framebuffer(BackgroundTile& tile, bool gl_alive)
{
    if (tile.framebuffer && gl_alive) glDeleteFramebuffers(1, &tile.framebuffer);
    tile.framebuffer = 0;
}

void put_background(int layer_number, int left, int top, int width, int height)
{
    flush_quads();
    if (layer_number < 0 || layer_number >= BACKGROUND_LAYERS) return;
    BackgroundLayer& layer = layers[layer_number];
    if (layer.columns == 0) return;
    int x = 0;
    for (int c = 0; c < layer.columns; ++c) {
        int y = 0;
        for (int r = 0; r < layer.rows; ++r) {
            BackgroundTile& tile = layer.tiles[c][r];
            // The part inside the viewport: the tile's left columns and top rows.
            const int w = std::min(tile.tile_width, width - x);
            const int h = std::min(tile.tile_height, height - y);
            if (w > 0 && h > 0) {
                glBindFramebuffer(GL_READ_FRAMEBUFFER, tile_framebuffer(tile));
                glBlitFramebuffer(0, tile.tile_height - h, w, tile.tile_height, left + x,
                                  top - y - h, left + x + w, top - y, GL_COLOR_BUFFER_BIT,
                                  GL_NEAREST);
            }
            y += tile.texture_height;
        }
        x += layer.tiles[c][0].texture_width;
    }
    bind_drawing_picture();
}
