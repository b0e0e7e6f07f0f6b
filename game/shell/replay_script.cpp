// The replay script parser: one directive a line, split into words.
#include "game/shell/replay_script.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <iterator>
#include <sstream>

namespace {

constexpr int LAST_KEY_CODE = 255;

struct LineParser {
    const KeyNameLookup& key_code;
    ReplayScript* script;
    int line;
    std::string error;
    bool frames_named = false;   // option lines must come before this

    bool fail(const std::string& why)
    {
        error = "line " + std::to_string(line) + ": " + why;
        return false;
    }
};

std::vector<std::string> split_words(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool all_digits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A decimal number 0..limit.
bool read_count(const std::string& text, long long limit, long long* value)
{
    if (!all_digits(text) || text.size() > 12) return false;
    *value = std::stoll(text);
    return *value <= limit;
}

bool read_frame(const std::string& text, int* frame)
{
    long long value = 0;
    if (!read_count(text, INT_MAX, &value)) return false;
    *frame = static_cast<int>(value);
    return true;
}

std::string key_name_of(const std::string& word)
{
    std::string name = word;
    for (char& c : name) {
        c = c == '_' ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

bool read_key(LineParser& p, const std::string& word, int* code)
{
    long long value = 0;
    if (all_digits(word)) {
        if (!read_count(word, LAST_KEY_CODE, &value)) return p.fail("no scan code " + word);
        *code = static_cast<int>(value);
        return true;
    }
    *code = p.key_code(key_name_of(word));
    if (*code < 0) return p.fail("no key named " + word);
    return true;
}

// "A-B KEY ..." or "A KEY ...".
bool parse_keys(LineParser& p, const std::vector<std::string>& words)
{
    const std::string& range = words[0];
    std::size_t dash = range.find('-');
    int first = 0, last = 0;
    bool ok = dash == std::string::npos ? read_frame(range, &first) && read_frame(range, &last)
                                        : read_frame(range.substr(0, dash), &first) &&
                                              read_frame(range.substr(dash + 1), &last);
    if (!ok || last < first) return p.fail("bad frame range " + range);
    if (words.size() < 2) return p.fail("no key after " + range);
    for (std::size_t i = 1; i < words.size(); ++i) {
        int code = 0;
        if (!read_key(p, words[i], &code)) return false;
        p.script->keys.push_back(KeySpan{first, last, code});
    }
    return true;
}

bool parse_seed(LineParser& p, const std::vector<std::string>& words)
{
    long long value = 0;
    if (words.size() != 2 || !read_count(words[1], UINT32_MAX, &value)) {
        return p.fail("seed needs one number from 0 to 4294967295");
    }
    p.script->seed = static_cast<uint32_t>(value);
    return true;
}

bool parse_end(LineParser& p, const std::vector<std::string>& words)
{
    if (words.size() != 2 || !read_frame(words[1], &p.script->end_frame)) {
        return p.fail("end needs one frame number");
    }
    return true;
}

bool parse_expect(LineParser& p, const std::vector<std::string>& words, std::size_t at, int frame)
{
    if (words.size() != at + 3 || words[at] != "expect") {
        return p.fail("expected: expect FIELD VALUE");
    }
    p.script->expectations.push_back(Expectation{frame, words[at + 1], words[at + 2], p.line});
    return true;
}

bool parse_at(LineParser& p, const std::vector<std::string>& words)
{
    int frame = 0;
    if (words.size() < 2 || !read_frame(words[1], &frame)) return p.fail("at needs a frame");
    return parse_expect(p, words, 2, frame);
}

bool parse_stop_when(LineParser& p, const std::vector<std::string>& words)
{
    if (words.size() != 3) return p.fail("expected: stop_when FIELD VALUE");
    p.script->stops.push_back(StopCondition{words[1], words[2], p.line});
    return true;
}

bool parse_screenshot(LineParser& p, const std::vector<std::string>& words)
{
    Screenshot shot{0, "", 0, p.line};
    long long tolerance = 0;
    bool ok = (words.size() == 3 || words.size() == 4) && read_frame(words[1], &shot.frame);
    if (ok && words.size() == 4) ok = read_count(words[3], LONG_MAX, &tolerance);
    if (!ok) return p.fail("expected: screenshot FRAME NAME [TOLERANCE]");
    shot.name = words[2];
    shot.tolerance = static_cast<long>(tolerance);
    p.script->screenshots.push_back(shot);
    return true;
}

// The words of a rule's values, in the order of its choices.
constexpr int WORDS_PER_RULE = 3;
struct RuleWords {
    const char* name;
    int Assists::*value;   // null for safe_falls, a switch
    const int* choices;
    std::size_t choice_count;
    const char* words[WORDS_PER_RULE];   // a choice's word when it is not its number
};
const RuleWords RULE_WORDS[] = {
    {"speed", &Assists::speed, SPEED_CHOICES, std::size(SPEED_CHOICES), {}},
    {"time_limit",
     &Assists::time_limit,
     TIME_LIMIT_CHOICES,
     std::size(TIME_LIMIT_CHOICES),
     {nullptr, nullptr, "none"}},
    {"lives",
     &Assists::lives,
     LIVES_CHOICES,
     std::size(LIVES_CHOICES),
     {nullptr, nullptr, "unlimited"}},
};
constexpr const char* SAFE_FALLS = "safe_falls";
constexpr const char* UNKNOWN_OPTION = "no option ";

std::string choice_word(const RuleWords& rule, std::size_t choice)
{
    const char* word = choice < WORDS_PER_RULE ? rule.words[choice] : nullptr;
    return word ? word : std::to_string(rule.choices[choice]);
}

bool read_rule(const RuleWords& rule, const std::string& word, Assists* rules)
{
    for (std::size_t choice = 0; choice < rule.choice_count; ++choice) {
        if (word != choice_word(rule, choice)) continue;
        rules->*rule.value = rule.choices[choice];
        return true;
    }
    return false;
}

bool parse_option(LineParser& p, const std::vector<std::string>& words)
{
    if (p.frames_named) return p.fail("option lines come before any frame line");
    if (words.size() != 3) return p.fail("expected: option NAME VALUE");
    Assists& rules = p.script->rules;
    if (words[1] == SAFE_FALLS && (words[2] == "on" || words[2] == "off")) {
        rules.safe_falls = words[2] == "on";
        return true;
    }
    for (const RuleWords& rule : RULE_WORDS) {
        if (words[1] == rule.name && read_rule(rule, words[2], &rules)) return true;
    }
    return p.fail(UNKNOWN_OPTION + words[1] + " " + words[2]);
}

bool parse_line(LineParser& p, const std::vector<std::string>& words)
{
    const std::string& head = words[0];
    if (head == "option") return parse_option(p, words);
    if (head != "seed") p.frames_named = true;
    if (std::isdigit(static_cast<unsigned char>(head[0]))) return parse_keys(p, words);
    if (head == "seed") return parse_seed(p, words);
    if (head == "end") return parse_end(p, words);
    if (head == "expect") return parse_expect(p, words, 0, AT_STOP);
    if (head == "at") return parse_at(p, words);
    if (head == "stop_when") return parse_stop_when(p, words);
    if (head == "screenshot") return parse_screenshot(p, words);
    return p.fail("unknown directive " + head);
}

}   // namespace

bool parse_replay(const std::string& text, const KeyNameLookup& key_code, ReplayScript* script,
                  std::string* error)
{
    *script = ReplayScript{};
    LineParser p{key_code, script, 0, ""};
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        ++p.line;
        std::vector<std::string> words = split_words(line);
        if (words.empty()) continue;
        if (!parse_line(p, words)) {
            *error = p.error;
            return false;
        }
    }
    return true;
}

std::string option_lines(const Assists& rules)
{
    std::string lines;
    for (const RuleWords& rule : RULE_WORDS) {
        if (rules.*rule.value == DEFAULT_ASSISTS.*rule.value) continue;
        for (std::size_t choice = 0; choice < rule.choice_count; ++choice) {
            if (rule.choices[choice] == rules.*rule.value)
                lines +=
                    "option " + std::string(rule.name) + " " + choice_word(rule, choice) + "\n";
        }
    }
    if (rules.safe_falls) lines += "option " + std::string(SAFE_FALLS) + " on\n";
    return lines;
}

int last_frame(const ReplayScript& script)
{
    if (script.end_frame >= 0) return script.end_frame;
    int last = -1;
    for (const KeySpan& span : script.keys) last = std::max(last, span.last);
    for (const Expectation& e : script.expectations) last = std::max(last, e.frame);
    for (const Screenshot& shot : script.screenshots) last = std::max(last, shot.frame);
    return last;
}

void keys_of_frame(const ReplayScript& script, int frame, unsigned char state[KEY_CODE_COUNT])
{
    std::memset(state, 0, KEY_CODE_COUNT);
    for (const KeySpan& span : script.keys) {
        if (span.first <= frame && frame <= span.last) state[span.code] = KEY_DOWN_BIT;
    }
}

bool is_unknown_option_error(const std::string& error)
{
    return error.find(std::string(": ") + UNKNOWN_OPTION) != std::string::npos;
}
