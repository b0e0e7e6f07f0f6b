// The storage of the game's shared state, with the values the program
// starts with; round set-up and start-up put in the rest.
#include "game/play/world.h"

RecordArray<Santa> santa_list;
RecordArray<Ladder> ladders;
RecordArray<Light> lights;
RecordArray<Present> presents;
RecordArray<ConveyorSegment> conveyors;
RecordArray<Pudding> puddings;
RecordArray<Soldier> soldiers;
RecordArray<SleighPart> sleigh_parts;
RecordArray<Reindeer> reindeer;
RecordArray<Snowflake> snowflakes;

SantaStatus santa_status = {0, 0, 0, 0, NO_PART};
Tally tally = {0, LIVES_AT_START};
RoundClock round_clock = {SECONDS_PER_ROUND, 0, 0};
Finale finale = {FINALE_PLAYING, PARTS_FITTED_AT_START};
KeyBindings bindings = DEFAULT_BINDINGS;
ScreenState screen_state = {Screen::startup, SCROLL_RIGHT_END, 0, 0, 0, 0};
Volumes volumes = {0.1, 0.75};
StringValue device_name;

NumberArray level_map;

double& key_binding(int index)
{
    return bindings.*BINDING_ORDER[index];
}
