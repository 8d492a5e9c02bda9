// The one table of gestures and keys against everything that lists them:
// the controls help is built from it, and the README's two tables and the
// manual page's MOUSE and KEYS sections must name the same rows in the same
// order, so that adding, renaming or dropping a key in one place alone fails.

#include "resources/ControlsTable.h"
#include "resources/DialogTemplates.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::vector<std::string> Docs(InputKind kind)
{
    std::vector<std::string> names;
    for (const ControlsRow& row : kControlsRows) {
        if (row.kind == kind) {
            names.push_back(row.doc);
        }
    }
    return names;
}

// The first cells of the Markdown table whose heading row starts with `heading`.
std::vector<std::string> ReadmeColumn(const std::vector<std::string>& lines,
                                      const std::string& heading)
{
    std::vector<std::string> cells;
    std::size_t i = 0;
    while (i < lines.size() && lines[i].rfind("| " + heading + " |", 0) != 0) {
        ++i;
    }
    EXPECT_LT(i, lines.size()) << "no README table headed " << heading;
    for (i += 2; i < lines.size() && lines[i].rfind("|", 0) == 0; ++i) {
        cells.push_back(Trim(lines[i].substr(1, lines[i].find('|', 1) - 1)));
    }
    return cells;
}

// The tags (the .B line after each .TP) of the manual page's section.
std::vector<std::string> ManTags(const std::vector<std::string>& lines, const std::string& section)
{
    std::vector<std::string> tags;
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != ".SH " + section) {
        ++i;
    }
    EXPECT_LT(i, lines.size()) << "no section " << section << " in the manual page";
    for (++i; i < lines.size() && lines[i].rfind(".SH", 0) != 0; ++i) {
        if (lines[i] == ".TP" && i + 1 < lines.size() && lines[i + 1].rfind(".B ", 0) == 0) {
            tags.push_back(lines[i + 1].substr(3));
        }
    }
    return tags;
}

TEST(ControlsTable, RowsAreCompleteAndNamedOnce)
{
    std::set<std::string> docs;
    for (const ControlsRow& row : kControlsRows) {
        EXPECT_TRUE(docs.insert(row.doc).second) << row.doc << " twice";
        EXPECT_NE(std::string(row.input), "") << row.doc;
        EXPECT_NE(std::string(row.effect), "") << row.doc;
    }
}

TEST(ControlsTable, TheHelpShowsEveryRowInOrder)
{
    const DialogTemplate& help = ControlsHelpDialogTemplate();
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < help.controlCount; ++i) {
        if (help.controls[i].kind == ControlKind::StaticText) {
            shown.push_back(help.controls[i].text);
        }
    }
    std::vector<std::string> expected = {kStrControlsInput, kStrControlsEffect};
    for (const ControlsRow& row : kControlsRows) {
        expected.push_back(row.input);
        expected.push_back(row.effect);
    }
    EXPECT_EQ(shown, expected);
}

TEST(ControlsTable, TheReadmeAndTheManualPageListTheSameRows)
{
    const auto readme = Lines(TARVO_SOURCE_DIR "/README.md");
    EXPECT_EQ(ReadmeColumn(readme, "Mouse"), Docs(InputKind::Mouse));
    EXPECT_EQ(ReadmeColumn(readme, "Key"), Docs(InputKind::Key));
    const auto manual = Lines(TARVO_SOURCE_DIR "/resources/tarvo.1");
    EXPECT_EQ(ManTags(manual, "MOUSE"), Docs(InputKind::Mouse));
    EXPECT_EQ(ManTags(manual, "KEYS"), Docs(InputKind::Key));
}

}  // namespace
