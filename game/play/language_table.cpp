// Reading a language's "key = text" table.
#include "game/play/language_table.h"

namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}   // namespace

LanguageTable language_table_from_text(const std::string& text,
                                       std::vector<std::string>* complaints)
{
    LanguageTable table;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        const std::size_t equals = line.find('=');
        TextKey key{};
        if (equals == std::string::npos) {
            complaints->push_back(where + "not \"key = text\"");
        } else if (!text_key_named(trimmed(line.substr(0, equals)), &key)) {
            complaints->push_back(where + "no text is called \"" + trimmed(line.substr(0, equals)) +
                                  "\"");
        } else if (table.has[int(key)]) {
            complaints->push_back(where + text_key_info(key).name + " is given twice");
        } else {
            table.texts[int(key)] = trimmed(line.substr(equals + 1));
            table.has[int(key)] = true;
        }
    }
    return table;
}
