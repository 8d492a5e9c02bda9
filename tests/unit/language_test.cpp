// The choice of language from the environment and the command line, the
// texts' translation hook with values in a translation's own order, and the
// widening of dialog controls for longer texts.

#include "app/LanguageChoice.h"
#include "resources/DialogFit.h"
#include "resources/Strings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::string FromEnvironment(const std::map<std::string, std::string>& variables)
{
    return LanguageOfEnvironment([&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    });
}

}  // namespace

TEST(LanguageChoiceTest, LocaleNamesGiveTheirLanguageAndTheCLocaleNone)
{
    EXPECT_EQ(LanguageOfLocaleName("ja_JP.UTF-8"), "ja");
    EXPECT_EQ(LanguageOfLocaleName("de_DE@euro"), "de");
    EXPECT_EQ(LanguageOfLocaleName("pt_BR"), "pt");
    EXPECT_EQ(LanguageOfLocaleName("en"), "en");
    for (const char* none : {"", "C", "POSIX", "C.UTF-8", "C.utf8"}) {
        EXPECT_EQ(LanguageOfLocaleName(none), "") << none;
    }
}

TEST(LanguageChoiceTest, TheFirstVariableSetDecidesInGettextOrder)
{
    EXPECT_EQ(FromEnvironment({}), "");
    EXPECT_EQ(FromEnvironment({{"LANG", "fr_FR.UTF-8"}}), "fr");
    EXPECT_EQ(FromEnvironment({{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}), "ja");
    EXPECT_EQ(FromEnvironment({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}}), "de");
    // LANGUAGE is a list: its first entry counts, and it outranks LC_ALL.
    EXPECT_EQ(FromEnvironment({{"LC_ALL", "ja_JP.UTF-8"}, {"LANGUAGE", "en_GB:ja"}}), "en");
    // Set but empty is not set.
    EXPECT_EQ(FromEnvironment({{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LANG", "ja_JP"}}), "ja");
    EXPECT_EQ(FromEnvironment({{"LANGUAGE", ":"}, {"LANG", "ja_JP"}}), "ja");
    // The C locale names no language, even with a language variable behind it.
    EXPECT_EQ(FromEnvironment({{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}), "");
}

TEST(LanguageChoiceTest, JapaneseWhereJapaneseOrNoneEnglishForOthers)
{
    const std::vector<std::string> available = {"en"};
    EXPECT_EQ(SpokenLanguage("", available), "ja");
    EXPECT_EQ(SpokenLanguage("ja", available), "ja");
    EXPECT_EQ(SpokenLanguage("en", available), "en");
    EXPECT_EQ(SpokenLanguage("de", available), "en");
    EXPECT_EQ(SpokenLanguage("zh", available), "en");
    // A language with a catalogue of its own speaks it.
    EXPECT_EQ(SpokenLanguage("de", {"en", "de"}), "de");
}

TEST(LanguageChoiceTest, CommandLineOption)
{
    std::string chosen = "stale";
    EXPECT_TRUE(LanguageOption({"--display=:1", "file"}, chosen));
    EXPECT_EQ(chosen, "");
    EXPECT_TRUE(LanguageOption({"--lang=en"}, chosen));
    EXPECT_EQ(chosen, "en");
    EXPECT_TRUE(LanguageOption({"--lang=en", "--lang=ja"}, chosen));
    EXPECT_EQ(chosen, "ja");
    EXPECT_TRUE(LanguageOption({"--language-tool"}, chosen));
    EXPECT_EQ(chosen, "");
    for (const char* refused : {"--lang=de", "--lang=", "--lang", "--lang=EN"}) {
        EXPECT_FALSE(LanguageOption({refused}, chosen)) << refused;
    }
}

TEST(TextTranslationTest, TextsAreTranslatedWhenTurnedIntoStringsWithValuesInTheirOwnOrder)
{
    EXPECT_EQ(std::string(kStrColorRed), kStrColorRed.Id());
    SetTextTranslator([](const char* id) -> std::string {
        const std::string text(id);
        if (text == kStrColorRed.Id()) {
            return "Red";
        }
        if (text == kStrPictureTooLarge.Id()) {
            return "{3} at most, not {1} by {2} ({1})";
        }
        return text;
    });
    EXPECT_EQ(std::string(kStrColorRed), "Red");
    EXPECT_EQ(PictureTooLargeMessage(9000, 600, 8192), "8192 at most, not 9000 by 600 (9000)");
    // A text without an entry stays Japanese; the message with values too.
    EXPECT_EQ(std::string(kStrColorBlack), kStrColorBlack.Id());
    EXPECT_NE(FourDBottleCountsMessage().find("4,000,000"), std::string::npos);
    SetTextTranslator(nullptr);
    EXPECT_EQ(PictureTooLargeMessage(9000, 600, 8192),
              "9000 × 600 ﾋﾟｸｾﾙの画像は描けません。この OpenGL 環境で描ける大きさは縦横とも "
              "8192 ﾋﾟｸｾﾙまでです。");
}

TEST(DialogFitTest, TextsThatFitChangeNothing)
{
    std::vector<FitBox> boxes = {{10, 50, 50}, {70, 40, 0}, {120, 30, 12}};
    const std::vector<FitBox> before = boxes;
    EXPECT_EQ(WidenToFit(boxes), 0);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].x, before[i].x);
        EXPECT_EQ(boxes[i].width, before[i].width);
    }
}

TEST(DialogFitTest, AWideTextOpensAGapThatMovesWhatLiesRightAndWidensWhatSpansIt)
{
    // A label and its edit in one row, a wide heading above both, a button
    // to the right touching the edit.
    std::vector<FitBox> boxes = {
        {10, 30, 45},   // label: 15 short
        {40, 40, 0},    // edit, starting where the label ends
        {5, 100, 60},   // heading spanning both: fits
        {80, 20, 10},   // button touching the edit's right edge
    };
    EXPECT_EQ(WidenToFit(boxes), 15);
    EXPECT_EQ(boxes[0].x, 10);
    EXPECT_EQ(boxes[0].width, 45);
    EXPECT_EQ(boxes[1].x, 55);
    EXPECT_EQ(boxes[1].width, 40);
    EXPECT_EQ(boxes[2].x, 5);
    EXPECT_EQ(boxes[2].width, 115);
    EXPECT_EQ(boxes[3].x, 95);
    EXPECT_EQ(boxes[3].width, 20);
}

TEST(DialogFitTest, GapsAddUpAndAGapAlreadyOpenedCountsForABoxThatSpansIt)
{
    std::vector<FitBox> boxes = {
        {0, 20, 30},    // needs 10 at 20
        {0, 40, 45},    // spans the first gap: 50 wide already, needs none
        {30, 20, 35},   // needs 15 at 50
        {50, 10, 0},    // after both
    };
    EXPECT_EQ(WidenToFit(boxes), 25);
    EXPECT_EQ(boxes[1].width, 50);
    EXPECT_EQ(boxes[2].x, 40);
    EXPECT_EQ(boxes[2].width, 35);
    EXPECT_EQ(boxes[3].x, 75);
    // Nothing overlaps that did not: each box still ends before the next starts.
    EXPECT_LE(boxes[0].x + boxes[0].width, boxes[2].x);
    EXPECT_LE(boxes[2].x + boxes[2].width, boxes[3].x);
}
