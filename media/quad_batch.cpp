// Groups of consecutive quads that share a texture, drawn with one
// draw (gl_draw_quads).
#include "media/quad_batch.h"

#include "media/gl_draw.h"

namespace {

// The browser draws quads through 16-bit indices: a group stays below
// 65536 vertices.
constexpr std::size_t MAX_GROUP_QUADS = 16384;

struct Group {
    std::size_t quads = 0;   // waiting, at the start of the vertex array
    uint32_t texture = 0;
    QuadFilters filters = QuadFilters::as_loaded;
    bool smoothing = false;
};
Group group;

bool joins_group(uint32_t texture, QuadFilters filters, std::size_t count)
{
    return group.quads > 0 && group.texture == texture && group.filters == filters &&
           (filters == QuadFilters::as_loaded || group.smoothing == renderer->smoothing) &&
           group.quads + count <= MAX_GROUP_QUADS;
}

}   // namespace

QuadVertex* add_quads(int id, QuadFilters filters, std::size_t count)
{
    const uint32_t texture = renderer->sprites[id].texture;
    if (!joins_group(texture, filters, count)) {
        flush_quads();
        bind_sprite_texture(id, -1, false, nullptr);
        if (filters == QuadFilters::smoothing) apply_smoothing_filters();
        group.texture = texture;
        group.filters = filters;
        group.smoothing = renderer->smoothing;
    }
    renderer->reserve_quad_vertices(int((group.quads + count) * 4));
    QuadVertex* room = renderer->quad_vertices.data() + group.quads * 4;
    group.quads += count;
    return room;
}

void flush_quads()
{
    if (group.quads == 0) return;
    gl_draw_quads(renderer->quad_vertices.data(), group.quads);
    group.quads = 0;
}
