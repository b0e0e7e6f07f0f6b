// The scene of grouping_scene.h.
#include "grouping_scene.h"

#include "media/fonts.h"
#include "media/grabs.h"
#include "media/quad_batch.h"
#include "media/renderer.h"
#include "media/sprites.h"

void draw_grouping_scene(bool one_by_one)
{
    auto step = [&] {
        if (one_by_one) flush_quads();
    };
    draw_sprite(50, 10, 10);
    step();
    draw_sprite(50, 13, 12);   // same texture: joins the group
    step();
    draw_sprite(51, 15, 14);   // another texture mid-group
    step();
    draw_anim(52, 1, 12, 11);
    step();
    set_alpha_mode(-0.5);   // blending mid-group
    draw_sprite(51, 11, 13);
    step();
    draw_sprite(51, 16, 9);
    step();
    grab_sprite(53, 8, 8, 16, 16);   // must see every quad above
    draw_sprite(51, 9, 16);          // after the grab, still blended
    step();
    set_alpha_mode(0);
    set_smoothing(0);   // filters mid-group
    draw_sprite(50, 12, 15);
    step();
    print_text("AB", 2, 14, 10);
    step();
    draw_sprite(53, 40, 40);
    step();
    flush_quads();
}
