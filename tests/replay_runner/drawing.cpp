// Drawing on and off through the scissor box, which the runtime leaves
// alone after start-up.
#include "replay_runner/drawing.h"

#include <GL/gl.h>
#include <algorithm>

std::vector<int> frames_to_draw(const std::vector<int>& screen_changes, const ReplayScript& script)
{
    std::vector<int> drawn = screen_changes;
    for (const Screenshot& shot : script.screenshots) drawn.push_back(shot.frame);
    std::sort(drawn.begin(), drawn.end());
    drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
    return drawn;
}

bool frame_drawn(const std::vector<int>& drawn, int frame)
{
    return std::binary_search(drawn.begin(), drawn.end(), frame);
}

void set_drawing(bool on)
{
    if (on) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
}
