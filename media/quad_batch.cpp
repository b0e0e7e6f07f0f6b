// Groups of consecutive quads that share a texture, drawn with one
// draw (gl_draw_quads).
#include "media/quad_batch.h"

#include <vector>

#include "media/gl_target.h"

namespace {

// The browser draws quads through 16-bit indices: a group stays below
// 65536 vertices.
constexpr std::size_t MAX_GROUP_QUADS = 16384;
constexpr std::size_t VERTICES_MIN = 512;
constexpr std::size_t VERTICES_STEP = 128;

struct Batch {
    std::vector<QuadVertex> vertices;
    std::size_t quads = 0;   // waiting, at the start of the vertex array
    QuadGroup group = {0, QuadFilters::as_loaded, false};
};
Batch batch;

// Grows the vertex array to hold n vertices; the contents are kept.
void reserve_vertices(std::size_t n)
{
    if (n < batch.vertices.size()) return;
    batch.vertices.resize(n < VERTICES_MIN ? VERTICES_MIN
                                           : VERTICES_STEP * (n / VERTICES_STEP + 1));
}

QuadVertex* room_for(std::size_t count)
{
    reserve_vertices((batch.quads + count) * 4);
    QuadVertex* room = batch.vertices.data() + batch.quads * 4;
    batch.quads += count;
    return room;
}

}   // namespace

QuadVertex* join_quads(const QuadGroup& group, std::size_t count)
{
    const QuadGroup& waiting = batch.group;
    const bool joins =
        batch.quads > 0 && waiting.texture == group.texture && waiting.filters == group.filters &&
        (group.filters == QuadFilters::as_loaded || waiting.smoothing == group.smoothing) &&
        batch.quads + count <= MAX_GROUP_QUADS;
    return joins ? room_for(count) : nullptr;
}

QuadVertex* start_quads(const QuadGroup& group, std::size_t count)
{
    end_quad_group();
    batch.group = group;
    return room_for(count);
}

void end_quad_group()
{
    if (batch.quads == 0) return;
    gl_draw_quads(batch.vertices.data(), batch.quads);
    batch.quads = 0;
}

void flush_quads()
{
    end_quad_group();
    gl_draw_sync();
}

std::size_t quad_vertex_room()
{
    return batch.vertices.size();
}

void delete_texture(uint32_t& name, bool gl_alive)
{
    if (name && gl_alive) {
        flush_quads();
        gl_draw_delete_texture(name);
    }
    if (name) forget_texture(name);
    name = 0;
}
