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

namespace {

constexpr SantaStatus SANTA_STATUS_AT_START = {0, 0, 0, 0, NO_PART};
constexpr Tally TALLY_AT_START = {0, LIVES_AT_START};
constexpr RoundClock ROUND_CLOCK_AT_START = {SECONDS_PER_ROUND, 0, 0};
constexpr Finale FINALE_AT_START = {FINALE_PLAYING, PARTS_FITTED_AT_START};
constexpr ScreenState SCREEN_STATE_AT_START = {Screen::startup, SCROLL_RIGHT_END, 0, 0, 0, 0};
constexpr Volumes VOLUMES_AT_START = {0.1, 0.75};

template <typename Record>
std::vector<Record> records_of(RecordArray<Record>& list)
{
    std::vector<Record> records;
    for_each_record(list, [&](const Record& record) { records.push_back(record); });
    return records;
}

template <typename Record>
void put_records(RecordArray<Record>& list, const std::vector<Record>& records)
{
    array_redim(list, 0);
    for (const Record& record : records) array_append(list, record);
}

std::vector<double> map_cells()
{
    std::vector<double> cells;
    if (array_count(level_map) == 0) return cells;
    for (int column = 0; column < MAP_SIZE; ++column)
        for (int row = 0; row < MAP_SIZE; ++row) cells.push_back(level_map.at(column, row));
    return cells;
}

void put_map_cells(const std::vector<double>& cells)
{
    if (cells.empty()) {
        array_redim(level_map, 0);
        return;
    }
    dim_number_array(level_map, MAP_SIZE, MAP_SIZE);
    std::size_t next = 0;
    for (int column = 0; column < MAP_SIZE; ++column)
        for (int row = 0; row < MAP_SIZE; ++row) level_map.at(column, row) = cells[next++];
}

}   // namespace

SantaStatus santa_status = SANTA_STATUS_AT_START;
Tally tally = TALLY_AT_START;
RoundClock round_clock = ROUND_CLOCK_AT_START;
Finale finale = FINALE_AT_START;
KeyBindings bindings = DEFAULT_BINDINGS;
ScreenState screen_state = SCREEN_STATE_AT_START;
Volumes volumes = VOLUMES_AT_START;
StringValue device_name;

NumberArray level_map;

double& key_binding(int index)
{
    return bindings.*BINDING_ORDER[index];
}

WorldCopy copy_world()
{
    return {records_of(santa_list),
            records_of(ladders),
            records_of(lights),
            records_of(presents),
            records_of(conveyors),
            records_of(puddings),
            records_of(soldiers),
            records_of(sleigh_parts),
            records_of(reindeer),
            records_of(snowflakes),
            santa_status,
            tally,
            round_clock,
            finale,
            bindings,
            screen_state,
            volumes,
            map_cells()};
}

void restore_world(const WorldCopy& copy)
{
    put_records(santa_list, copy.santa_list);
    put_records(ladders, copy.ladders);
    put_records(lights, copy.lights);
    put_records(presents, copy.presents);
    put_records(conveyors, copy.conveyors);
    put_records(puddings, copy.puddings);
    put_records(soldiers, copy.soldiers);
    put_records(sleigh_parts, copy.sleigh_parts);
    put_records(reindeer, copy.reindeer);
    put_records(snowflakes, copy.snowflakes);
    santa_status = copy.santa_status;
    tally = copy.tally;
    round_clock = copy.round_clock;
    finale = copy.finale;
    bindings = copy.bindings;
    screen_state = copy.screen_state;
    volumes = copy.volumes;
    put_map_cells(copy.level_map);
}

void reset_world()
{
    restore_world({{},
                   {},
                   {},
                   {},
                   {},
                   {},
                   {},
                   {},
                   {},
                   {},
                   SANTA_STATUS_AT_START,
                   TALLY_AT_START,
                   ROUND_CLOCK_AT_START,
                   FINALE_AT_START,
                   DEFAULT_BINDINGS,
                   SCREEN_STATE_AT_START,
                   VOLUMES_AT_START,
                   {}});
}
