/*
 * story_layout.h - where the story screen's lines fall: its paragraphs'
 * lines and the y of each, so that a translation of any length keeps to the
 * screen.
 *
 * Pure: no drawing.  Callers: the story screen, langcheck (which stops a
 * story that would run into the start hint), tests.  Not for: the story's
 * words (text_keys.h, texts.h) or its drawing (game/shell/story.h).
 */
#pragma once

#include <string>
#include <vector>

// The story: paragraphs story_1 to story_4, their lines parted by "|", each
// line STORY_LINE_SPACING below the last.  A paragraph starts at its own
// top, or lower when the one above runs long: PARAGRAPH_STEP below that
// one's last line.  No line may start below STORY_LAST_LINE_Y (the hint
// that names the start key stands under it).
constexpr int STORY_TITLE_Y = 20;
constexpr int STORY_PARAGRAPHS = 4;
constexpr int STORY_PARAGRAPH_TOPS[STORY_PARAGRAPHS] = {50, 70, 103, 190};
constexpr int STORY_LINE_SPACING = 11;
constexpr int STORY_PARAGRAPH_STEP = 20;
constexpr int STORY_LAST_LINE_Y = 212;
constexpr int STORY_START_HINT_Y = 229;
std::vector<std::string> paragraph_lines(const std::string& paragraph);
// The y of every line, paragraph after paragraph, for paragraphs of these
// many lines.
std::vector<int> story_line_tops(const std::vector<int>& lines_per_paragraph);
