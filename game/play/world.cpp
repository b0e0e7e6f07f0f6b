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

double score = 0;
double lives = 5;
double time_left = 300;
double clock_ticks = 0;
double scroll_x = -320;
double paused = 0;
double pause_blink = 0;
double finale_phase = 0;
double parts_fitted = 2;
double carried_part = -1;
double santa_hit = 0;
double santa_x = 0, santa_y = 0;
double santa_shield = 0;
double game_over_countdown = 0;
double key_cooldown = 0;
double volume_cooldown = 0;
double music_volume = 0.1;
double sound_volume = 0.75;
StringValue device_name;

double bind_up = 200;
double bind_down = 208;
double bind_left = 203;
double bind_right = 205;
double bind_jump = 29;
double bind_pause = 28;

NumberArray level_map;

Screen current_screen = Screen::startup;

double& key_binding(int index)
{
    double* const bindings[BINDING_COUNT] = {&bind_up,    &bind_down, &bind_left,
                                             &bind_right, &bind_jump, &bind_pause};
    return *bindings[index];
}
