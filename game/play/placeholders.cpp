// The placeholders' widest values and their filling.
#include "game/play/placeholders.h"

#include <cstddef>
#include <iterator>

#include "game/play/text_rooms.h"

namespace {

// The widest value of each: a key name as wide as its room on the key
// screen, a time "00:00", numbers of up to 3 or 6 digits, 7 pixels each,
// and a reason of up to WHY_CHARACTERS letters.
constexpr int DIGIT_WIDTH = 7;
// A reason's characters, each as wide as the widest letter.
constexpr int WHY_WIDEST = int(WHY_CHARACTERS) * (DIGIT_WIDTH + 1);

}   // namespace

const Placeholder PLACEHOLDERS[] = {
    {"{key}", KEY_NAME_ROOM.width}, {"{time}", 5 * DIGIT_WIDTH}, {"{lives}", 3 * DIGIT_WIDTH},
    {"{score}", 6 * DIGIT_WIDTH},   {"{n}", 3 * DIGIT_WIDTH},    {"{why}", WHY_WIDEST},
};
const int PLACEHOLDER_COUNT = int(std::size(PLACEHOLDERS));

std::vector<std::string> placeholders_in(const std::string& text)
{
    std::vector<std::string> found;
    std::size_t open = text.find('{');
    while (open != std::string::npos) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos) break;
        found.push_back(text.substr(open, close - open + 1));
        open = text.find('{', close);
    }
    return found;
}

std::string filled(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}
