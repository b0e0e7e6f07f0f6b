// Sprites and animation strips: the texture builder, the draws and the
// pixel-exact collision test over cached alpha masks.
#include "media/sprites.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/errors.h"
#include "media/gl_draw.h"
#include "media/gl_target.h"
#include "media/quad_batch.h"

namespace {

constexpr std::size_t MIN_MASK_BYTES = 64;
constexpr double DEGREES_TO_RADIANS = 0.017453292;

// Gives every transparent texel the average colour of its opaque neighbours
// that lie strictly inside the texture, so linear filtering does not pull
// dark fringes into sprite edges.  Alpha is never changed, so one pass over
// the texels in place sees only original colours where it counts.  Texels
// from column used_w and row used_h on are transparent black, so past one
// more column and row (the fringe) there is nothing to change.
void fill_transparent_edges(std::vector<uint8_t>& texels, int tw, int th, int used_w, int used_h)
{
    const int rows = std::min(used_h + 1, th), columns = std::min(used_w + 1, tw);
    for (int ty = 0; ty < rows; ++ty) {
        for (int tx = 0; tx < columns; ++tx) {
            uint8_t* texel = &texels[(std::size_t(ty) * tw + tx) * 4];
            if (texel[3] != 0) continue;
            int sum[3] = {0, 0, 0}, count = 0;
            for (int ny = std::max(ty - 1, 1); ny <= std::min(ty + 1, th - 2); ++ny) {
                for (int nx = std::max(tx - 1, 1); nx <= std::min(tx + 1, tw - 2); ++nx) {
                    const uint8_t* n = &texels[(std::size_t(ny) * tw + nx) * 4];
                    if ((nx == tx && ny == ty) || n[3] == 0) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += n[c];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) texel[c] = count ? uint8_t(sum[c] / count) : 0;
        }
    }
}

// The sprite's texture, its filters from the smoothing flag, then the fan.
void draw_sprite_fan(int id, const float vertices[4][4])
{
    bind_sprite_texture(id, -1, false, nullptr);
    apply_smoothing_filters();
    draw_clamped_fan(vertices);
}

// A loaded entry, or null: drawing an entry without a texture would show
// an untextured white shape, so such draws draw nothing.
const SpriteEntry* drawable_entry(int id)
{
    const SpriteEntry* entry = sprite_entry(id);
    return entry && entry->texture != 0 ? entry : nullptr;
}

// The screen box and image offset with which one frame takes part in a
// collision test.
struct CollisionBox {
    long long x, y, w, h;
    long long ox, oy;
};

CollisionBox collision_box(const SpriteEntry& entry, int frame, int x, int y)
{
    CollisionBox box = {x, y, entry.width, entry.height, 0, 0};
    if (entry.frame_width != 0) {
        const int per_row = std::max(entry.width / entry.frame_width, 1);
        box.w = entry.frame_width;
        box.h = entry.frame_height;
        box.ox = (long long)entry.frame_width * (frame % per_row);
        box.oy = (long long)(frame / per_row) * entry.frame_height;
    }
    return box;
}

// The alpha channel of the sprite's texture, read back from GL once and
// cached until the sprite is reset.
const std::vector<uint8_t>& collision_mask(int id)
{
    std::vector<uint8_t>& mask = renderer->masks[id];
    if (!mask.empty()) return mask;
    bind_sprite_texture(id, -1, false, nullptr);
    flush_quads();   // a read-back: the binding and earlier draws reach GL first
    mask = texture_alpha(renderer->sprites[id].texture);
    if (mask.size() < MIN_MASK_BYTES) mask.resize(MIN_MASK_BYTES, 0);
    return mask;
}

// Alpha of image pixel (px, py), py from the image's top; pixels outside the
// mask count as transparent.
bool mask_opaque(const std::vector<uint8_t>& mask, const SpriteEntry& entry, long long px,
                 long long py)
{
    const long long row = entry.height - 1 - py;
    if (px < 0 || px >= entry.texture_width || row < 0 || row >= entry.texture_height) return false;
    const unsigned long long index = (unsigned long long)row * entry.texture_width + px;
    return index < mask.size() && mask[index] != 0;
}

int boxes_collide(int a, const CollisionBox& ba, int b, const CollisionBox& bb)
{
    const long long left = std::max(ba.x, bb.x), right = std::min(ba.x + ba.w, bb.x + bb.w);
    const long long top = std::max(ba.y, bb.y), bottom = std::min(ba.y + ba.h, bb.y + bb.h);
    if (right <= left || bottom <= top)
        return 0;   // no overlap, or edges that only touch: no pixel to test
    const SpriteEntry& ea = renderer->sprites[a];
    const SpriteEntry& eb = renderer->sprites[b];
    const std::vector<uint8_t>& ma = collision_mask(a);
    const std::vector<uint8_t>& mb = collision_mask(b);
    // Four interleaved passes cover a coarse grid first, so typical hits are
    // found early: (even, even), (odd, even), (even, odd), (odd, odd).
    for (int pass = 0; pass < 4; ++pass) {
        for (long long sy = top + pass / 2; sy < bottom; sy += 2) {
            for (long long sx = left + pass % 2; sx < right; sx += 2) {
                if (mask_opaque(ma, ea, sx - ba.x + ba.ox, sy - ba.y + ba.oy) &&
                    mask_opaque(mb, eb, sx - bb.x + bb.ox, sy - bb.y + bb.oy))
                    return 1;
            }
        }
    }
    return 0;
}

int16_t clamp_to_int16(int value)
{
    return int16_t(std::clamp(value, 0, 32767));
}

}   // namespace

QuadVertex* add_quads(int id, QuadFilters filters, std::size_t count)
{
    const QuadGroup group = {renderer->sprites[id].texture, filters, renderer->smoothing};
    if (QuadVertex* room = join_quads(group, count)) return room;
    end_quad_group();
    bind_sprite_texture(id, -1, false, nullptr);
    if (filters == QuadFilters::smoothing) apply_smoothing_filters();
    return start_quads(group, count);
}

void draw_clamped_fan(const float vertices[4][4])
{
    gl_draw_texture_wrap(false);
    gl_draw_fan(vertices);
}

SpriteEntry* sprite_entry(int id)
{
    if (!renderer || id < 0 || id >= SPRITE_COUNT) return nullptr;
    return &renderer->sprites[id];
}

int texture_side(int size)
{
    int side = 2;
    do side *= 2;
    while (side < size);
    return side;
}

std::vector<uint8_t> texture_texels(const DecodedImage& image, int x, int y, int w, int h,
                                    int texture_w, int texture_h, bool edge_fill)
{
    std::vector<uint8_t> texels(std::size_t(texture_w) * texture_h * 4, 0);
    // The part of the rectangle that lies inside both the image and the texture.
    const int x0 = std::max(x, 0), x1 = std::min({x + w, image.width, x + texture_w});
    for (int ty = 0; ty < h && ty < texture_h && x1 > x0; ++ty) {
        const int sy = y + (h - 1 - ty);
        if (sy < 0 || sy >= image.height) continue;
        std::memcpy(&texels[(std::size_t(ty) * texture_w + (x0 - x)) * 4],
                    &image.pixels[(std::size_t(sy) * image.width + x0) * 4],
                    std::size_t(x1 - x0) * 4);
    }
    if (edge_fill) fill_transparent_edges(texels, texture_w, texture_h, x1 - x, h);
    return texels;
}

BuiltTexture build_texture(const DecodedImage& image, int x, int y, int w, int h, TextureKind kind)
{
    BuiltTexture built = {};
    const int max_size = max_texture_side();
    if (w == 0) w = image.width - x;
    if (h == 0) h = image.height - y;
    w = std::min(w, max_size);
    h = std::min(h, max_size);
    if (w <= 0 || h <= 0) return built;
    built.width = w;
    built.height = h;
    built.texture_width = texture_side(w);
    built.texture_height = texture_side(h);
    const std::vector<uint8_t> texels = texture_texels(image, x, y, w, h, built.texture_width,
                                                       built.texture_height, kind == SPRITE_IMAGE);
    flush_quads();   // the binding below changes the texture waiting quads use
    const uint32_t name = gl_draw_new_texture();
    gl_draw_bind_texture(name);
    gl_draw_texture_wrap(true);
    gl_draw_texture_filter(kind != FONT_IMAGE);
    upload_texture_rgba(name, built.texture_width, built.texture_height, texels.data());
    built.texture = name;
    return built;
}

bool load_image_into_sprite(const char* name, int id, int key, TextureKind kind)
{
    set_error(STATUS_SUCCESS);
    SpriteEntry* entry = sprite_entry(id);
    if (entry) reset_sprite(id);
    DecodedImage image;
    if (!entry || !load_image(image, name, key) || !image_into_sprite(image, id, kind)) {
        set_error(STATUS_NO_SUCH_FILE);
        return false;
    }
    return true;
}

bool image_into_sprite(const DecodedImage& image, int id, TextureKind kind)
{
    SpriteEntry* entry = sprite_entry(id);
    const BuiltTexture built = entry ? build_texture(image, 0, 0, 0, 0, kind) : BuiltTexture{};
    if (built.texture == 0) return false;
    entry->texture = built.texture;
    entry->texture_width = int16_t(built.texture_width);
    entry->texture_height = int16_t(built.texture_height);
    entry->width = int16_t(built.width);
    entry->height = int16_t(built.height);
    entry->u_max = float(built.width) / float(built.texture_width);
    entry->v_max = float(built.height) / float(built.texture_height);
    return true;
}

void load_sprite(const char* name, int id)
{
    load_image_into_sprite(name, id, renderer ? renderer->sprite_key : DEFAULT_SPRITE_KEY,
                           SPRITE_IMAGE);
}

void load_anim(const char* name, int id, int frame_w, int frame_h)
{
    load_sprite(name, id);
    SpriteEntry* entry = sprite_entry(id);
    if (entry && entry->width > 0) {
        entry->frame_width = clamp_to_int16(frame_w);
        entry->frame_height = clamp_to_int16(frame_h);
    }
}

bool anim_frame_coords(const SpriteEntry& entry, int frame, FrameCoords* out)
{
    const int fw = entry.frame_width, fh = entry.frame_height;
    if (fw == 0 || fh == 0) return false;
    const int per_row = entry.width / fw;
    int column = frame, row = 0;
    if (per_row != 0) {
        row = frame / per_row;
        column = frame % per_row;
    }
    const float du = float(fw) / float(entry.texture_width);
    out->u_left = float(column) * du;
    out->u_right = out->u_left + du;
    out->v_bottom = float(entry.height - fh * (row + 1)) / float(entry.texture_height);
    out->v_top = out->v_bottom + float(fh) / float(entry.texture_height);
    return true;
}

namespace {

// One quad with integer corners, top-right first, added to the waiting group.
void draw_quad(int id, const FrameCoords& c, int x, int y, int w, int h)
{
    QuadVertex* v = add_quads(id, QuadFilters::smoothing, 1);
    const float left = float(x), right = float(x + w), top = float(y), bottom = float(y + h);
    v[0] = QuadVertex{right, top, 0, c.u_right, c.v_top};
    v[1] = QuadVertex{left, top, 0, c.u_left, c.v_top};
    v[2] = QuadVertex{left, bottom, 0, c.u_left, c.v_bottom};
    v[3] = QuadVertex{right, bottom, 0, c.u_right, c.v_bottom};
}

// Four corners (-a, b), (a, b), (a, -b), (-a, -b) about (cx, cy), turned by
// angle degrees the way glRotatef(angle, 0, 0, -1) turns them, with the
// texture rectangle inset by half a texel; the first two take the lower v.
void draw_turned_rectangle(int id, const SpriteEntry& entry, const FrameCoords& c, double cx,
                           double cy, double a, double b, double angle)
{
    const double radians = angle * DEGREES_TO_RADIANS;
    const double cs = std::cos(radians), sn = std::sin(radians);
    const float du = 0.5f / float(entry.texture_width), dv = 0.5f / float(entry.texture_height);
    const double corners[4][2] = {{-a, b}, {a, b}, {a, -b}, {-a, -b}};
    const float us[4] = {c.u_left + du, c.u_right - du, c.u_right - du, c.u_left + du};
    const float vs[4] = {c.v_bottom + dv, c.v_bottom + dv, c.v_top - dv, c.v_top - dv};
    float vertices[4][4];
    for (int i = 0; i < 4; ++i) {
        const double dx = corners[i][0], dy = corners[i][1];
        vertices[i][0] = float(cx + dx * cs + dy * sn);
        vertices[i][1] = float(cy - dx * sn + dy * cs);
        vertices[i][2] = us[i];
        vertices[i][3] = vs[i];
    }
    draw_sprite_fan(id, vertices);
}

FrameCoords whole_image(const SpriteEntry& entry)
{
    return FrameCoords{0.0f, entry.u_max, 0.0f, entry.v_max};
}

}   // namespace

void draw_sprite(int id, int x, int y)
{
    if (const SpriteEntry* entry = drawable_entry(id))
        draw_quad(id, whole_image(*entry), x, y, entry->width, entry->height);
}

void draw_anim(int id, int frame, int x, int y)
{
    const SpriteEntry* entry = drawable_entry(id);
    FrameCoords coords;
    if (entry && anim_frame_coords(*entry, frame, &coords))
        draw_quad(id, coords, x, y, entry->frame_width, entry->frame_height);
}

void stretch_sprite(int id, int x, int y, int w, int h)
{
    const SpriteEntry* entry = drawable_entry(id);
    if (!entry) return;
    const float left = float(x), right = float(x) + float(w);
    const float top = float(y), bottom = float(y) + float(h);
    const float vertices[4][4] = {{left, bottom, 0.0f, 0.0f},
                                  {right, bottom, entry->u_max, 0.0f},
                                  {right, top, entry->u_max, entry->v_max},
                                  {left, top, 0.0f, entry->v_max}};
    draw_sprite_fan(id, vertices);
}

void zoom_sprite(int id, int x, int y, double sx, double sy)
{
    const SpriteEntry* entry = drawable_entry(id);
    if (!entry) return;
    const double w = entry->width, h = entry->height;
    stretch_sprite(id, int(x - (sx * w - w) * 0.5), int(y - (sy * h - h) * 0.5), int(sx * w),
                   int(sy * h));
}

void rotate_sprite(int id, int x, int y, double angle)
{
    rotate_zoom_sprite(id, x, y, angle, 1.0);
}

void rotate_zoom_sprite(int id, int x, int y, double angle, double zoom)
{
    const SpriteEntry* entry = drawable_entry(id);
    if (!entry) return;
    const FrameCoords texels = {0.0f, float(entry->width) / float(entry->texture_width), 0.0f,
                                float(entry->height) / float(entry->texture_height)};
    draw_turned_rectangle(id, *entry, texels, x + entry->width / 2, y + entry->height / 2,
                          zoom * entry->width * 0.5, zoom * entry->height * 0.5, angle);
}

void rotate_zoom_anim(int id, int frame, int x, int y, double angle, double zoom)
{
    const SpriteEntry* entry = drawable_entry(id);
    FrameCoords coords;
    if (!entry || !anim_frame_coords(*entry, frame, &coords)) return;
    const int fw = entry->frame_width, fh = entry->frame_height;
    draw_turned_rectangle(id, *entry, coords, x + fw / 2, y + fh / 2, zoom * fw * 0.5,
                          zoom * fh * 0.5, angle);
}

void stretch_anim(int id, int frame, int x, int y, int w, int h)
{
    const SpriteEntry* entry = drawable_entry(id);
    FrameCoords c;
    if (!entry || !anim_frame_coords(*entry, frame, &c)) return;
    const float left = float(x), right = float(x + w + 0.1);
    const float top = float(y), bottom = float(y + h + 0.1);
    const float vertices[4][4] = {{left, bottom, c.u_left, c.v_bottom},
                                  {right, bottom, c.u_right, c.v_bottom},
                                  {right, top, c.u_right, c.v_top},
                                  {left, top, c.u_left, c.v_top}};
    draw_sprite_fan(id, vertices);
}

int anim_collision(int a, int fa, int xa, int ya, int b, int fb, int xb, int yb)
{
    const SpriteEntry* ea = drawable_entry(a);
    const SpriteEntry* eb = drawable_entry(b);
    if (!ea || !eb) return 0;
    return boxes_collide(a, collision_box(*ea, fa, xa, ya), b, collision_box(*eb, fb, xb, yb));
}

int sprite_collision(int a, int xa, int ya, int b, int xb, int yb)
{
    const SpriteEntry* ea = drawable_entry(a);
    const SpriteEntry* eb = drawable_entry(b);
    if (!ea || !eb) return 0;
    const CollisionBox box_a = {xa, ya, ea->width, ea->height, 0, 0};
    const CollisionBox box_b = {xb, yb, eb->width, eb->height, 0, 0};
    return boxes_collide(a, box_a, b, box_b);
}

void get_sprite_size(int id, int* w, int* h)
{
    const SpriteEntry* entry = sprite_entry(id);
    if (w) *w = entry ? entry->width : 0;
    if (h) *h = entry ? entry->height : 0;
}

int find_free_sprite()
{
    for (int id = 0; id < FONT_SPRITE_BASE; ++id) {
        const SpriteEntry* entry = sprite_entry(id);
        if (entry && entry->width == 0) return id;
    }
    return -1;
}
