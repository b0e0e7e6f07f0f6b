// Tests of the sound builder mksound and of the game sounds it makes from
// assets/sound: notation, synth, recipe and score readers, WAV writing,
// and measurements of the five finished files.
//
// mksound is a build-time program, not a library, so its sources (all but
// its main) are compiled into this test directly.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "mksound/notation.h"
#include "mksound/recipe.h"
#include "mksound/score.h"
#include "mksound/soundset.h"
#include "mksound/synth.h"
#include "mksound/wav.h"

namespace {

const std::string ASSET_DIR = std::string(SNOW_SOURCE_DIR) + "/assets/sound";
const std::string OUT_DIR = std::string(SNOW_BINARY_DIR) + "/tests/sound_assets";

constexpr int RATE = 44100;
constexpr int FULL_SCALE = 32767;

// Rising zero crossings per second over [from, to) seconds: the pitch of a
// clear tone.
double crossing_rate(const std::vector<double>& mix, int rate, double from, double to)
{
    const std::size_t first = static_cast<std::size_t>(from * rate);
    const std::size_t last = std::min(mix.size(), static_cast<std::size_t>(to * rate));
    int crossings = 0;
    for (std::size_t i = first + 1; i < last; ++i)
        if (mix[i - 1] < 0.0 && mix[i] >= 0.0) ++crossings;
    return crossings / (static_cast<double>(last - first) / rate);
}

int peak_of(const std::vector<std::int16_t>& pcm)
{
    int peak = 0;
    for (std::int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

double rms_of(const std::vector<std::int16_t>& pcm, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(pcm[i]) * pcm[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

Tone plain_tone(Wave wave, double freq, double hold)
{
    Tone tone;
    tone.wave = wave;
    tone.freq_from = tone.freq_to = freq;
    tone.hold = hold;
    tone.env = Envelope{0.0, 0.0, 1.0, 0.0};
    return tone;
}

Score parsed_score(const std::string& text)
{
    Score score;
    std::string error;
    EXPECT_TRUE(parse_score(text, score, error)) << error;
    return score;
}

std::string score_error(const std::string& text)
{
    Score score;
    std::string error;
    EXPECT_FALSE(parse_score(text, score, error));
    return error;
}

// A two-voice score skeleton in 4/4 at 120 (a quarter is half a second).
std::string two_voices(const std::string& body)
{
    return "tempo 120\nmeter 4\nvoice lead pulse gate 0.5\nvoice drum noise pitch 8000\n" + body;
}

std::vector<Note> notes_of(const Score& score, const std::string& voice)
{
    std::vector<Note> found;
    for (const Note& note : score.notes)
        if (note.voice == find_voice(score, voice)) found.push_back(note);
    return found;
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::string tag(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
}

std::vector<std::uint8_t> file_bytes(const std::string& path)
{
    std::string text;
    EXPECT_TRUE(read_text_file(path, text)) << path;
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// A written game sound as the tests see it: its header fields and samples.
struct WavFile {
    std::vector<std::uint8_t> bytes;
    int rate = 0;
    std::vector<std::int16_t> samples;
    double seconds() const { return static_cast<double>(samples.size()) / rate; }
};

WavFile load_wav(const std::string& name)
{
    WavFile wav;
    wav.bytes = file_bytes(OUT_DIR + "/" + name);
    if (wav.bytes.size() < WAV_HEADER_SIZE) return wav;
    wav.rate = static_cast<int>(le32(wav.bytes, 24));
    for (std::size_t at = WAV_HEADER_SIZE; at + 1 < wav.bytes.size(); at += 2)
        wav.samples.push_back(static_cast<std::int16_t>(le16(wav.bytes, at)));
    return wav;
}

Score asset_score(const std::string& name)
{
    std::string text;
    EXPECT_TRUE(read_text_file(ASSET_DIR + "/" + name, text));
    return parsed_score(text);
}

Recipe asset_recipe(const std::string& name)
{
    std::string text, error;
    Recipe recipe;
    EXPECT_TRUE(read_text_file(ASSET_DIR + "/" + name, text));
    EXPECT_TRUE(parse_recipe(text, recipe, error)) << error;
    return recipe;
}

std::vector<double> recipe_mix(const Recipe& recipe)
{
    return mix_tones(recipe.tones, recipe.rate, tones_frames(recipe.tones, recipe.rate), false);
}

}   // namespace

// ---------------------------------------------------------------- notation

TEST(Notation, NoteNamesGiveMidiNumbers)
{
    const std::map<std::string, int> names = {{"C4", 60},  {"A4", 69},  {"F#3", 54}, {"Bb5", 82},
                                              {"Cb4", 59}, {"B#3", 60}, {"C0", 12}};
    for (const auto& [name, midi] : names) {
        int read = -1;
        EXPECT_TRUE(parse_note_name(name, read)) << name;
        EXPECT_EQ(read, midi) << name;
    }
}

TEST(Notation, MalformedNoteNamesAreRefusedAndLeaveTheResult)
{
    for (const char* bad : {"H4", "C", "C#", "c4", "C10", "C4.", "", "x", "r"}) {
        int read = -7;
        EXPECT_FALSE(parse_note_name(bad, read)) << bad;
        EXPECT_EQ(read, -7) << bad;
    }
}

TEST(Notation, KeyNamesArePitchClasses)
{
    int pc = -1;
    EXPECT_TRUE(parse_key_name("C", pc));
    EXPECT_EQ(pc, 0);
    EXPECT_TRUE(parse_key_name("Cb", pc));
    EXPECT_EQ(pc, 11);
    EXPECT_TRUE(parse_key_name("F#", pc));
    EXPECT_EQ(pc, 6);
    EXPECT_FALSE(parse_key_name("C4", pc));
    EXPECT_EQ(pc, 6);
}

TEST(Notation, EqualTemperamentFromA440)
{
    EXPECT_DOUBLE_EQ(midi_frequency(69), 440.0);
    EXPECT_DOUBLE_EQ(midi_frequency(81), 880.0);
    EXPECT_NEAR(midi_frequency(60), 261.6256, 1e-4);
    double hz = 0;
    EXPECT_TRUE(parse_frequency("A5", hz));
    EXPECT_DOUBLE_EQ(hz, 880.0);
    EXPECT_TRUE(parse_frequency("1500", hz));
    EXPECT_DOUBLE_EQ(hz, 1500.0);
    EXPECT_FALSE(parse_frequency("0", hz));
    EXPECT_FALSE(parse_frequency("-20", hz));
    EXPECT_FALSE(parse_frequency("duty", hz));
    EXPECT_DOUBLE_EQ(hz, 1500.0);
}

TEST(Notation, CommentsStartOnlyAtAWord)
{
    EXPECT_EQ(split_words("  bass: F#2/4 C3  # a comment | x"),
              (std::vector<std::string>{"bass:", "F#2/4", "C3"}));
    EXPECT_TRUE(split_words("# only a comment").empty());
    EXPECT_TRUE(split_words("   \t ").empty());
    EXPECT_EQ(split_lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Notation, NumbersMustBeWholeWords)
{
    double v = 5;
    EXPECT_TRUE(parse_number("0.25", v));
    EXPECT_DOUBLE_EQ(v, 0.25);
    EXPECT_TRUE(parse_number("1e3", v));
    EXPECT_DOUBLE_EQ(v, 1000.0);
    for (const char* bad : {"", "0.25s", "abc", "nan", "inf", "1 2"}) {
        v = 5;
        EXPECT_FALSE(parse_number(bad, v)) << bad;
        EXPECT_DOUBLE_EQ(v, 5.0) << bad;
    }
}

TEST(Notation, SoundSettingsAreRangeChecked)
{
    Tone tone;
    std::vector<std::string> words = {"duty", "0.25", "vibrato", "6", "0.01", "gate", "0.5"};
    std::size_t at = 0;
    EXPECT_EQ(read_sound_setting(words, at, tone), Setting::Read);
    EXPECT_EQ(at, 2u);
    EXPECT_DOUBLE_EQ(tone.duty, 0.25);
    EXPECT_EQ(read_sound_setting(words, at, tone), Setting::Read);
    EXPECT_EQ(at, 5u);
    EXPECT_DOUBLE_EQ(tone.vibrato_rate, 6.0);
    EXPECT_DOUBLE_EQ(tone.vibrato_depth, 0.01);
    EXPECT_EQ(read_sound_setting(words, at, tone), Setting::Unknown);
    EXPECT_EQ(at, 5u);

    for (auto bad : std::vector<std::vector<std::string>>{{"duty", "1.5"},
                                                          {"volume", "-0.1"},
                                                          {"sustain", "2"},
                                                          {"release"},
                                                          {"vibrato", "5"}}) {
        std::size_t from = 0;
        EXPECT_EQ(read_sound_setting(bad, from, tone), Setting::Bad) << bad[0];
    }
}

// ------------------------------------------------------------------- synth

TEST(Synth, PulseSoundsAtItsFrequency)
{
    for (double duty : {0.5, 0.25, 0.125}) {
        Tone tone = plain_tone(Wave::Pulse, 441.0, 1.0);
        tone.duty = duty;
        auto mix = mix_tones({tone}, RATE, RATE, false);
        EXPECT_NEAR(crossing_rate(mix, RATE, 0.0, 1.0), 441.0, 2.0) << duty;
    }
}

TEST(Synth, EveryWaveHasNoDcAndStaysInRange)
{
    for (Wave wave : {Wave::Pulse, Wave::Triangle, Wave::Sine, Wave::Noise, Wave::Metal}) {
        Tone tone = plain_tone(wave, 3000.0, 1.0);
        tone.duty = 0.125;
        tone.volume = 1.0;
        auto mix = mix_tones({tone}, RATE, RATE, false);
        double sum = 0, peak = 0;
        for (double v : mix) {
            sum += v;
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_LT(std::fabs(sum / RATE), 0.02) << static_cast<int>(wave);
        EXPECT_LE(peak, 2.0) << static_cast<int>(wave);
        EXPECT_GT(peak, 0.5) << static_cast<int>(wave);
    }
}

TEST(Synth, GlideMovesFromTheFirstFrequencyToTheSecond)
{
    Tone tone = plain_tone(Wave::Triangle, 200.0, 0.5);
    tone.freq_to = 800.0;
    auto mix = mix_tones({tone}, RATE, RATE / 2, false);
    EXPECT_NEAR(crossing_rate(mix, RATE, 0.0, 0.05), 200.0 * std::pow(4.0, 0.05), 25.0);
    EXPECT_NEAR(crossing_rate(mix, RATE, 0.45, 0.5), 800.0 / std::pow(4.0, 0.05), 40.0);
}

TEST(Synth, EnvelopeRisesHoldsAndReleasesToSilence)
{
    Tone tone = plain_tone(Wave::Sine, 1000.0, 0.2);
    tone.volume = 0.5;
    tone.env = Envelope{0.01, 0.05, 0.4, 0.1};
    const std::size_t frames = tones_frames({tone}, RATE);
    EXPECT_NEAR(static_cast<double>(frames), 0.3 * RATE, 1.0);
    auto mix = mix_tones({tone}, RATE, frames + 100, false);
    auto peak_in = [&mix](double from, double to) {
        double peak = 0;
        for (std::size_t i = static_cast<std::size_t>(from * RATE); i < to * RATE; ++i)
            peak = std::max(peak, std::fabs(mix[i]));
        return peak;
    };
    EXPECT_DOUBLE_EQ(mix[0], 0.0);
    EXPECT_LT(peak_in(0.0, 0.002), 0.15);           // still rising
    EXPECT_NEAR(peak_in(0.005, 0.02), 0.5, 0.02);   // full level after the attack
    EXPECT_NEAR(peak_in(0.1, 0.19), 0.2, 0.01);     // sustain 0.4 of 0.5
    EXPECT_LT(peak_in(0.298, 0.3), 0.005);          // nearly released
    EXPECT_LT(peak_in(0.3, (frames + 100.0) / RATE), 1e-9);
}

TEST(Synth, WrappedToneContinuesAtTheStart)
{
    const std::size_t frames = 1000;
    Tone tone = plain_tone(Wave::Sine, 441.0, 0.01);   // 441 samples
    tone.start = 800.0 / RATE;
    auto wrapped = mix_tones({tone}, RATE, frames, true);
    tone.start = 0.0;
    auto alone = mix_tones({tone}, RATE, frames, false);
    for (std::size_t i = 0; i < 441; ++i)
        ASSERT_DOUBLE_EQ(wrapped[(800 + i) % frames], alone[i]) << i;
    EXPECT_EQ(wrapped[300], 0.0);
    auto cut = mix_tones({plain_tone(Wave::Sine, 441.0, 0.01)}, RATE, 200, false);
    EXPECT_EQ(cut.size(), 200u);
}

TEST(Synth, NoiseRepeatsForItsSeedOnly)
{
    Tone tone = plain_tone(Wave::Noise, 44100.0, 0.05);
    tone.seed = 7;
    auto first = mix_tones({tone}, RATE, 2205, false);
    auto again = mix_tones({tone}, RATE, 2205, false);
    tone.seed = 8;
    auto other = mix_tones({tone}, RATE, 2205, false);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
}

TEST(Synth, NoiseFrequencyIsHowOftenItChanges)
{
    Tone tone = plain_tone(Wave::Noise, 1000.0, 0.1);
    auto mix = mix_tones({tone}, RATE, 4410, false);
    int changes = 0;
    for (std::size_t i = 1; i < mix.size(); ++i) changes += mix[i] != mix[i - 1];
    EXPECT_NEAR(changes, 100, 2);
}

TEST(Synth, Pcm16ScalesTheLoudestSampleToThePeak)
{
    std::vector<double> mix = {0.0, 0.5, -2.0, 1.0};
    auto pcm = to_pcm16(mix, 0.7);
    EXPECT_EQ(pcm, (std::vector<std::int16_t>{0, 5734, -22937, 11468}));
    EXPECT_EQ(to_pcm16({0.0, 0.0}, 0.7), (std::vector<std::int16_t>{0, 0}));
    EXPECT_LT(peak_of(to_pcm16({3.0, -3.0}, 0.999)), FULL_SCALE);
}

// ------------------------------------------------------------------ recipe

TEST(RecipeReader, ReadsTonesWithNotesGlidesAndSettings)
{
    Recipe recipe;
    std::string error;
    ASSERT_TRUE(parse_recipe("# a test\nrate 22050\n"
                             "tone pulse at 0.1 hold 0.2 freq A4 A5 duty 0.25 volume 0.4\n"
                             "tone noise hold 0.05 freq 3000 release 0.01  # burst\n",
                             recipe, error))
        << error;
    EXPECT_EQ(recipe.rate, 22050);
    ASSERT_EQ(recipe.tones.size(), 2u);
    const Tone& pulse = recipe.tones[0];
    EXPECT_EQ(pulse.wave, Wave::Pulse);
    EXPECT_DOUBLE_EQ(pulse.start, 0.1);
    EXPECT_DOUBLE_EQ(pulse.hold, 0.2);
    EXPECT_DOUBLE_EQ(pulse.freq_from, 440.0);
    EXPECT_DOUBLE_EQ(pulse.freq_to, 880.0);
    EXPECT_DOUBLE_EQ(pulse.duty, 0.25);
    EXPECT_DOUBLE_EQ(pulse.volume, 0.4);
    const Tone& noise = recipe.tones[1];
    EXPECT_EQ(noise.wave, Wave::Noise);
    EXPECT_DOUBLE_EQ(noise.freq_from, 3000.0);
    EXPECT_DOUBLE_EQ(noise.freq_to, 3000.0);
    EXPECT_DOUBLE_EQ(noise.env.release, 0.01);
    EXPECT_NE(pulse.seed, noise.seed);
}

TEST(RecipeReader, FaultsNameTheirLine)
{
    const std::map<std::string, std::string> faults = {
        {"tone pulse hold 0.1 freq 440 loud 3", "line 1: unknown setting 'loud'"},
        {"\ntone pulse freq 440", "line 2: a tone needs 'hold' greater than 0"},
        {"rate 48000\ntone sine hold 1", "line 1: rate must be 22050 or 44100"},
        {"tone saw hold 1", "line 1: unknown wave"},
        {"tone sine hold 1 freq", "line 1: bad value of 'freq'"},
        {"tone sine hold 1 duty 0", "line 1: bad value of 'duty'"},
        {"sound sine", "line 1: unknown statement 'sound'"},
        {"# nothing\n", "the recipe has no tone"},
    };
    for (const auto& [text, expected] : faults) {
        Recipe recipe;
        std::string error;
        EXPECT_FALSE(parse_recipe(text, recipe, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

// ------------------------------------------------------------------- score

TEST(ScoreReader, LengthsDotsAndCarriedLengths)
{
    Score score = parsed_score(two_voices("part a\nlead: C4/8 D4 E4/4. F4/8 G4/4 | A4/1 |\nend\n"
                                          "song a\n"));
    auto lead = notes_of(score, "lead");
    ASSERT_EQ(lead.size(), 6u);
    const long q = TICKS_PER_BEAT;
    const std::vector<long> starts = {0, q / 2, q, 5 * q / 2, 3 * q, 4 * q};
    const std::vector<long> lengths = {q / 2, q / 2, 3 * q / 2, q / 2, q, 4 * q};
    const std::vector<int> pitches = {60, 62, 64, 65, 67, 69};
    for (std::size_t i = 0; i < lead.size(); ++i) {
        EXPECT_EQ(lead[i].start, starts[i]) << i;
        EXPECT_EQ(lead[i].length, lengths[i]) << i;
        EXPECT_EQ(lead[i].pitch, pitches[i]) << i;
    }
    EXPECT_EQ(score.length, 8 * q);
    EXPECT_FALSE(score.loop);
}

TEST(ScoreReader, BarsMustBeFull)
{
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/4 D4 E4 | F4/1 |\nend\nsong a\n")),
              "line 6: a bar holds 3 beats, not 4");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/2 D4/2 E4/8 |\nend\nsong a\n")),
              "line 6: a bar holds 4 and 24/48 beats, not 4");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 | D4/2\nend\nsong a\n")),
              "line 7: voice lead: a bar holds 2 beats, not 4");
}

TEST(ScoreReader, RestsHitsAndRepeatedBars)
{
    Score score = parsed_score(two_voices("part beat\ndrum: r/8 x r x r x r x | % %\nlead: r/1 | "
                                          "C4/4 r r D4 | % |\nend\nsong beat\n"));
    auto drum = notes_of(score, "drum");
    ASSERT_EQ(drum.size(), 12u);
    for (std::size_t i = 0; i < drum.size(); ++i) {
        EXPECT_EQ(drum[i].pitch, HIT_PITCH);
        EXPECT_EQ(drum[i].start, static_cast<long>(TICKS_PER_BEAT / 2 + i * TICKS_PER_BEAT));
    }
    auto lead = notes_of(score, "lead");
    ASSERT_EQ(lead.size(), 4u);
    EXPECT_EQ(lead[2].start, 8 * TICKS_PER_BEAT);
    EXPECT_EQ(lead[3].start, 11 * TICKS_PER_BEAT);
    EXPECT_EQ(lead[3].pitch, 62);
    EXPECT_EQ(score.length, 12 * TICKS_PER_BEAT);
    EXPECT_EQ(score_error(two_voices("part a\nlead: % C4/1\nend\nsong a\n")),
              "line 6: '%' needs a full bar before it");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/2 % \nend\nsong a\n")),
              "line 6: '%' must stand at the start of a bar");
}

TEST(ScoreReader, TiesJoinNotesAcrossBars)
{
    Score score =
        parsed_score(two_voices("part a\nlead: C4/2 G4/2~ | G4/4 E4/2. |\nend\nsong a\n"));
    auto lead = notes_of(score, "lead");
    ASSERT_EQ(lead.size(), 3u);
    EXPECT_EQ(lead[1].pitch, 67);
    EXPECT_EQ(lead[1].length, 3 * TICKS_PER_BEAT);
    EXPECT_EQ(lead[2].start, 5 * TICKS_PER_BEAT);
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/2 G4/2~ | A4/1 |\nend\nsong a\n")),
              "line 6: '~' ties notes of different pitch");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1~ |\nend\nsong a\n")),
              "line 7: voice lead ends on a tie");
}

TEST(ScoreReader, SongStepsFollowAndJoinedPartsOverlay)
{
    Score score = parsed_score(two_voices("part a\nlead: C4/1 |\nend\n"
                                          "part b\nlead: D4/1 |\nend\n"
                                          "part beat\ndrum: x/4 x x x |\nend\n"
                                          "song a b+beat\nsong a\n"));
    EXPECT_EQ(score.length, 12 * TICKS_PER_BEAT);
    auto lead = notes_of(score, "lead");
    ASSERT_EQ(lead.size(), 3u);
    EXPECT_EQ(lead[1].start, 4 * TICKS_PER_BEAT);
    EXPECT_EQ(lead[2].start, 8 * TICKS_PER_BEAT);
    auto drum = notes_of(score, "drum");
    ASSERT_EQ(drum.size(), 4u);
    EXPECT_EQ(drum[0].start, 4 * TICKS_PER_BEAT);
    EXPECT_EQ(drum[3].start, 7 * TICKS_PER_BEAT);
}

TEST(ScoreReader, StructuralFaults)
{
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 |\ndrum: x/2 x | x/1 |\nend\nsong a\n")),
              "line 8: voice drum lasts 8 beats, not 4");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 |\nend\npart b\nlead: C4/1 | % |\nend\n"
                                     "song a+b\n")),
              "line 11: parts of 'a+b' last differently long");
    EXPECT_EQ(score_error(two_voices("part a\nbass: C2/1 |\nend\n")),
              "line 6: unknown voice 'bass'");
    EXPECT_EQ(score_error(two_voices("song chorus\n")), "line 5: unknown part 'chorus'");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 |\n")),
              "end of score: part 'a' has no 'end'");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 |\nend\n")),
              "end of score: the score has no song");
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/3 |\nend\n")),
              "line 6: bad note length in 'C4/3'");
    EXPECT_EQ(score_error(two_voices("part a\nlead: r/1~ |\nend\n")),
              "line 6: a rest cannot be tied");
    EXPECT_EQ(score_error(two_voices("part a\nend\n")), "line 6: part 'a' is empty");
    EXPECT_EQ(score_error("voice a pulse\nvoice a sine\n"), "line 2: voice 'a' is already defined");
    EXPECT_EQ(score_error("voice a pulse gate 0\n"), "line 1: bad value of 'gate'");
    EXPECT_EQ(score_error("tempo 12.5\n"), "line 1: bad value of 'tempo'");
    EXPECT_EQ(score_error("play twice\n"), "line 1: play loop or play once");
    EXPECT_EQ(score_error("key H\n"), "line 1: bad key");
}

TEST(ScoreReader, MeterIsFixedOnceAPartIsRead)
{
    EXPECT_EQ(score_error(two_voices("part a\nlead: C4/1 |\nend\nmeter 3\n")),
              "line 8: 'meter' must come before the first part");
    Score waltz =
        parsed_score("meter 3\nkey F#\nvoice v sine\npart a\nv: C4/2. | D4/4 E4/2 |\nend\n"
                     "song a\n");
    EXPECT_EQ(waltz.length, 6 * TICKS_PER_BEAT);
    EXPECT_EQ(waltz.tonic, 6);
}

TEST(ScoreReader, LoopsMustLastWholeSamples)
{
    const std::string body = "voice v sine\npart a\nv: C4/1 |\nend\nsong a\n";
    EXPECT_EQ(score_error("tempo 130\nplay loop\n" + body),
              "end of score: a looping song must last a whole number of samples at this tempo");
    Score loop = parsed_score("tempo 140\nplay loop\n" + body);
    EXPECT_TRUE(loop.loop);
    EXPECT_EQ(score_frames(loop), 4u * 18900u);
    Score once = parsed_score("tempo 130\nplay once\n" + body);
    EXPECT_FALSE(once.loop);
}

TEST(ScoreReader, TonesFollowTempoGateAndVoice)
{
    Score score = parsed_score(two_voices("part a\nlead: C4/2 A4/2 |\ndrum: x/1 |\nend\nsong a\n"));
    auto tones = score_tones(score, 2);
    ASSERT_EQ(tones.size(), 6u);
    // 120 quarters a minute: a half note is one second, held for its gate of 0.5.
    EXPECT_DOUBLE_EQ(tones[0].start, 0.0);
    EXPECT_DOUBLE_EQ(tones[0].hold, 0.5);
    EXPECT_NEAR(tones[0].freq_from, 261.6256, 1e-4);
    EXPECT_DOUBLE_EQ(tones[1].start, 1.0);
    EXPECT_DOUBLE_EQ(tones[1].freq_to, 440.0);
    EXPECT_EQ(tones[2].wave, Wave::Noise);
    EXPECT_DOUBLE_EQ(tones[2].freq_from, 8000.0);
    EXPECT_DOUBLE_EQ(tones[2].hold, 1.8);   // a whole note, two seconds, at the default gate
    EXPECT_DOUBLE_EQ(tones[4].start, 3.0);
    EXPECT_EQ(tones[5].seed, tones[2].seed);   // every play of the song sounds alike
    // Played once, it lasts until the whole note's release has ended.
    EXPECT_NEAR(static_cast<double>(score_frames(score)), (1.8 + 0.02) * RATE, 1.0);
}

TEST(ScoreReader, LoopMixRunsItsEndIntoItsStart)
{
    // The last note still rings at the loop point: its release must be heard
    // at the start, exactly as when the song is played on.
    Score score = parsed_score("tempo 120\nplay loop\nvoice v sine release 0.5 gate 1\n"
                               "part a\nv: r/2 r/4 C5/4 |\nend\nsong a\n");
    auto looped = score_mix(score);
    ASSERT_EQ(looped.size(), 2u * RATE);
    auto played_on = mix_tones(score_tones(score, 3), RATE, 3 * looped.size(), false);
    for (std::size_t i = 0; i < looped.size(); ++i)
        ASSERT_NEAR(looped[i], played_on[looped.size() + i], 1e-12) << i;
    double start_peak = 0;
    for (std::size_t i = 0; i < RATE / 10; ++i)
        start_peak = std::max(start_peak, std::fabs(looped[i]));
    EXPECT_GT(start_peak, 0.1);
}

// --------------------------------------------------------------------- wav

TEST(WavWriter, HeaderDescribesMono16BitPcm)
{
    auto bytes = wav_bytes({0, 1, -1, 32767, -32768}, 22050);
    ASSERT_EQ(bytes.size(), WAV_HEADER_SIZE + 10);
    EXPECT_EQ(tag(bytes, 0), "RIFF");
    EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(tag(bytes, 8), "WAVE");
    EXPECT_EQ(tag(bytes, 12), "fmt ");
    EXPECT_EQ(le32(bytes, 16), 16u);
    EXPECT_EQ(le16(bytes, 20), 1);   // PCM
    EXPECT_EQ(le16(bytes, 22), 1);   // mono
    EXPECT_EQ(le32(bytes, 24), 22050u);
    EXPECT_EQ(le32(bytes, 28), 44100u);
    EXPECT_EQ(le16(bytes, 32), 2);
    EXPECT_EQ(le16(bytes, 34), 16);
    EXPECT_EQ(tag(bytes, 36), "data");
    EXPECT_EQ(le32(bytes, 40), 10u);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 44, bytes.end())),
              (std::vector<std::uint8_t>{0, 0, 1, 0, 0xff, 0xff, 0xff, 0x7f, 0x00, 0x80}));
}

// ----------------------------------------------------- the game's sound set

class GameSounds : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::filesystem::remove_all(OUT_DIR);
        std::string error;
        built = build_sound_set(OUT_DIR, ASSET_DIR, error);
        build_error = error;
    }
    void SetUp() override { ASSERT_TRUE(built) << build_error; }
    static bool built;
    static std::string build_error;
};
bool GameSounds::built = false;
std::string GameSounds::build_error;

TEST_F(GameSounds, EveryFileHasAValidHeader)
{
    const std::vector<std::string> names = {"jump.wav", "pickup05.wav", "drop06.wav", "santa.wav",
                                            "filler.wav"};
    ASSERT_EQ(sound_sources().size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(sound_sources()[i].output, names[i]);
        WavFile wav = load_wav(names[i]);
        ASSERT_GT(wav.bytes.size(), WAV_HEADER_SIZE) << names[i];
        EXPECT_EQ(tag(wav.bytes, 0), "RIFF");
        EXPECT_EQ(le32(wav.bytes, 4), wav.bytes.size() - 8) << names[i];
        EXPECT_EQ(tag(wav.bytes, 8), "WAVE");
        EXPECT_EQ(le16(wav.bytes, 20), 1) << names[i];
        EXPECT_EQ(le16(wav.bytes, 22), 1) << names[i];
        EXPECT_EQ(le16(wav.bytes, 34), 16) << names[i];
        EXPECT_TRUE(wav.rate == 22050 || wav.rate == 44100) << names[i];
        EXPECT_EQ(tag(wav.bytes, 36), "data");
        EXPECT_EQ(le32(wav.bytes, 40), wav.bytes.size() - WAV_HEADER_SIZE) << names[i];
    }
}

TEST_F(GameSounds, OutputIsTheSameEveryTime)
{
    const std::string again = OUT_DIR + "/again";
    std::string error;
    ASSERT_TRUE(build_sound_set(again, ASSET_DIR, error)) << error;
    for (const SoundSource& source : sound_sources())
        EXPECT_TRUE(file_bytes(OUT_DIR + "/" + source.output) ==
                    file_bytes(again + "/" + source.output))
            << source.output;
}

TEST_F(GameSounds, EffectsAreShortLoudEnoughAndUnclipped)
{
    for (const char* name : {"jump.wav", "pickup05.wav", "drop06.wav"}) {
        WavFile wav = load_wav(name);
        ASSERT_FALSE(wav.samples.empty()) << name;
        EXPECT_LT(wav.seconds(), 0.5) << name;
        EXPECT_GT(wav.seconds(), 0.1) << name;
        EXPECT_EQ(peak_of(wav.samples), static_cast<int>(std::lround(EFFECT_PEAK * FULL_SCALE)))
            << name;
        // Starts from and dies away to silence: no click at either end.
        EXPECT_LT(std::abs(wav.samples.front()), 200) << name;
        EXPECT_LT(std::abs(wav.samples.back()), 200) << name;
    }
    EXPECT_NE(load_wav("jump.wav").samples, load_wav("drop06.wav").samples);
}

TEST_F(GameSounds, JumpRisesInPitch)
{
    auto mix = recipe_mix(asset_recipe("jump.sfx"));
    const double early = crossing_rate(mix, RATE, 0.0, 0.05);
    const double late = crossing_rate(mix, RATE, 0.1, 0.15);
    EXPECT_GT(late, 1.8 * early);
}

TEST_F(GameSounds, PickupIsTwoNotesRisingHigh)
{
    auto mix = recipe_mix(asset_recipe("pickup05.sfx"));
    const double first = crossing_rate(mix, RATE, 0.005, 0.06);
    const double second = crossing_rate(mix, RATE, 0.09, 0.2);
    EXPECT_GT(first, 800.0);   // bright: above G5
    EXPECT_GT(second, 1.2 * first);
}

TEST_F(GameSounds, DropIsALowClunkThenAHighSparkle)
{
    auto mix = recipe_mix(asset_recipe("drop06.sfx"));
    EXPECT_LT(crossing_rate(mix, RATE, 0.035, 0.1), 200.0);
    EXPECT_GT(crossing_rate(mix, RATE, 0.13, 0.25), 1000.0);
}

TEST_F(GameSounds, RoundTuneIsAWholeNumberOfBarsOfAMinuteOrMore)
{
    Score score = asset_score("santa.score");
    EXPECT_TRUE(score.loop);
    WavFile wav = load_wav("santa.wav");
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_GE(wav.seconds(), 60.0);
    const long bar = score.meter * TICKS_PER_BEAT;
    EXPECT_EQ(score.length % bar, 0);
    const long long bar_frames = 60LL * wav.rate * score.meter / score.tempo;
    EXPECT_EQ(static_cast<long long>(wav.samples.size()), score.length / bar * bar_frames);
    EXPECT_LT(peak_of(wav.samples), FULL_SCALE);
    EXPECT_EQ(peak_of(wav.samples), static_cast<int>(std::lround(TUNE_PEAK * FULL_SCALE)));
}

TEST_F(GameSounds, RoundTuneLoopsLikeTheSongPlayedOn)
{
    // The file played in a loop must sound exactly like the song played
    // three times without a break, seen in its middle play.
    Score score = asset_score("santa.score");
    auto looped = score_mix(score);
    const std::size_t frames = looped.size();
    auto played_on = mix_tones(score_tones(score, 3), score.rate, 3 * frames, false);
    double worst = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
        worst = std::max(worst, std::fabs(looped[i] - played_on[frames + i]));
    EXPECT_LT(worst, 1e-9);
}

TEST_F(GameSounds, RoundTuneSeamIsSmallAndNotSilent)
{
    WavFile wav = load_wav("santa.wav");
    ASSERT_GT(wav.samples.size(), static_cast<std::size_t>(RATE));
    const int seam = std::abs(wav.samples.back() - wav.samples.front());
    EXPECT_LT(seam, FULL_SCALE / 20);
    // No trailing silence: the last half second still plays.
    const std::size_t n = wav.samples.size();
    EXPECT_GT(rms_of(wav.samples, n - RATE / 2, n), 1000.0);
}

TEST_F(GameSounds, MenuTunePlaysOnceForUpToAMinuteAndEndsOnItsTonic)
{
    Score score = asset_score("filler.score");
    EXPECT_FALSE(score.loop);
    for (const char* voice : {"lead1", "bass"}) {
        auto notes = notes_of(score, voice);
        ASSERT_FALSE(notes.empty()) << voice;
        const Note& last =
            *std::max_element(notes.begin(), notes.end(),
                              [](const Note& a, const Note& b) { return a.start < b.start; });
        EXPECT_EQ(last.pitch % 12, score.tonic) << voice;
        EXPECT_EQ(last.start + last.length, score.length) << voice;
    }
    WavFile wav = load_wav("filler.wav");
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_GE(wav.seconds(), 30.0);
    EXPECT_LE(wav.seconds(), 60.0);
    EXPECT_LT(peak_of(wav.samples), FULL_SCALE);
    EXPECT_LT(std::abs(wav.samples.back()), 100);   // rings out to silence
}

TEST(SoundSet, MissingSourcesAndUnwritableFoldersAreReported)
{
    const std::string out = OUT_DIR + "_faults";
    std::filesystem::remove_all(out);
    std::string error;
    EXPECT_FALSE(build_sound_set(out, OUT_DIR + "/no-such-folder", error));
    EXPECT_EQ(error, OUT_DIR + "/no-such-folder/jump.sfx: cannot be read");

    std::filesystem::create_directories(out);
    ASSERT_TRUE(write_file(out + "/blocker", {1, 2, 3}));
    EXPECT_FALSE(build_sound_set(out + "/blocker/inner", ASSET_DIR, error));
    EXPECT_EQ(error, out + "/blocker/inner/jump.wav: cannot be written");

    RenderedSound sound;
    ASSERT_TRUE(write_file(out + "/tune.mid", {1}));
    EXPECT_FALSE(render_sound_file(out + "/tune.mid", sound, error));
    EXPECT_EQ(error, out + "/tune.mid: neither .sfx nor .score");
}
