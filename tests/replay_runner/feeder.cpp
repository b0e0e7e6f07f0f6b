// The scripted keyboard: one cached key state per frame.
#include "replay_runner/feeder.h"

#include <cstring>

#include "core/clock.h"

namespace {

struct FeederState {
    const ReplayScript* script = nullptr;
    int calls_started = 0;
    double clock_at_call_start = 0;
    int cached_frame = -1;
    unsigned char cached_keys[KEY_CODE_COUNT] = {};
};
FeederState feeder;

}   // namespace

int keyboard_frame(int calls_started, bool clock_moved_since_start)
{
    if (calls_started == 0 || clock_moved_since_start) return calls_started;
    return calls_started - 1;
}

void feeder_start(const ReplayScript& script)
{
    feeder = FeederState{};
    feeder.script = &script;
}

bool feeder_call_started()
{
    bool clock_moved = feeder.calls_started == 0 || now_ms() != feeder.clock_at_call_start;
    feeder.calls_started += 1;
    feeder.clock_at_call_start = now_ms();
    return clock_moved;
}

int feeder_calls_started()
{
    return feeder.calls_started;
}

bool feed_keys(unsigned char state[KEY_CODE_COUNT])
{
    bool clock_moved = now_ms() != feeder.clock_at_call_start;
    int frame = keyboard_frame(feeder.calls_started, clock_moved);
    if (frame != feeder.cached_frame) {
        keys_of_frame(*feeder.script, frame, feeder.cached_keys);
        feeder.cached_frame = frame;
    }
    std::memcpy(state, feeder.cached_keys, KEY_CODE_COUNT);
    return true;
}
