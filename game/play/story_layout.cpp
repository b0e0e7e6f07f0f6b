// The story's lines and where each falls.
#include "game/play/story_layout.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

std::vector<std::string> paragraph_lines(const std::string& paragraph)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = paragraph.find('|', start);
        lines.push_back(paragraph.substr(start, bar - start));
        if (bar == std::string::npos) return lines;
        start = bar + 1;
    }
}

std::vector<int> story_line_tops(const std::vector<int>& lines_per_paragraph)
{
    std::vector<int> tops;
    for (std::size_t p = 0; p < lines_per_paragraph.size(); ++p) {
        int top = p < std::size(STORY_PARAGRAPH_TOPS) ? STORY_PARAGRAPH_TOPS[p] : 0;
        if (!tops.empty()) top = std::max(top, tops.back() + STORY_PARAGRAPH_STEP);
        for (int line = 0; line < lines_per_paragraph[p]; ++line)
            tops.push_back(top + STORY_LINE_SPACING * line);
    }
    return tops;
}
