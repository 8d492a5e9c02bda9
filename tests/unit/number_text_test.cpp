// Parsing and showing the numbers of the dialogs' edits, in the C locale, in a
// locale with a decimal comma, and under a global C++ locale with one.

#include "app/NumberText.h"
#include "resources/Strings.h"
#include "surfaces/Generators.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <regex>
#include <string>

namespace {

struct IntegerCase {
    const char* text;
    bool accepted;
    int32_t value;  // when accepted
};

const IntegerCase kIntegerCases[] = {
    {"12", true, 12},
    {" 12 ", true, 12},
    {"\t12\t", true, 12},
    {" \t 12 \t ", true, 12},
    {"+12", true, 12},
    {"-12", true, -12},
    {"  -7\t", true, -7},
    {"0", true, 0},
    {"-0", true, 0},
    {"007", true, 7},
    {"2147483647", true, std::numeric_limits<int32_t>::max()},
    {"-2147483648", true, std::numeric_limits<int32_t>::min()},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"99999999999999999999999", false, 0},
    {"12a", false, 0},
    {"a12", false, 0},
    {"1 2", false, 0},
    {"- 12", false, 0},
    {"+-12", false, 0},
    {"12.0", false, 0},
    {"1e3", false, 0},
    {"0x10", false, 0},
    {"", false, 0},
    {"   ", false, 0},
    {"+", false, 0},
    {"-", false, 0},
    {"12\n", false, 0},
    {"\xef\xbc\x91\xef\xbc\x92", false, 0},  // full-width "１２"
};

struct DoubleCase {
    const char* text;
    bool accepted;
    double value;  // when accepted
};

const DoubleCase kDoubleCases[] = {
    {"0.333", true, 0.333},
    {" 0.333 ", true, 0.333},
    {"\t0.5\t", true, 0.5},
    {"1e-1", true, 0.1},
    {"1E-1", true, 0.1},
    {".5", true, 0.5},
    {"5.", true, 5.0},
    {"+1.5e+3", true, 1500.0},
    {"-2.25", true, -2.25},
    {"12", true, 12.0},
    {"0", true, 0.0},
    {"1e308", true, 1e308},
    {"1e-400", true, 0.0},  // below the least subnormal: zero, not a refusal
    {"1e400", false, 0},
    {"-1e400", false, 0},
    {"1e99999999999999999999", false, 0},
    {"nan", false, 0},
    {"NaN", false, 0},
    {"inf", false, 0},
    {"-inf", false, 0},
    {"infinity", false, 0},
    {"0x1p3", false, 0},
    {"0x10", false, 0},
    {"0,5", false, 0},
    {"1e", false, 0},
    {"1e+", false, 0},
    {"e5", false, 0},
    {".", false, 0},
    {"..5", false, 0},
    {"1.2.3", false, 0},
    {"12a", false, 0},
    {"1 2", false, 0},
    {"+ 1", false, 0},
    {"", false, 0},
    {" \t ", false, 0},
};

void CheckParsingTables()
{
    for (const IntegerCase& c : kIntegerCases) {
        SCOPED_TRACE(std::string("integer \"") + c.text + "\"");
        int32_t value = 4242;
        EXPECT_EQ(ParseDialogInteger(c.text, value), c.accepted);
        // A refusal leaves the target alone.
        EXPECT_EQ(value, c.accepted ? c.value : 4242);
    }
    for (const DoubleCase& c : kDoubleCases) {
        SCOPED_TRACE(std::string("number \"") + c.text + "\"");
        double value = 42.5;
        EXPECT_EQ(ParseDialogDouble(c.text, value), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(value, c.value);
        } else {
            EXPECT_EQ(value, 42.5);
        }
    }
}

void CheckFormatting()
{
    EXPECT_EQ(FormatDialogInteger(100), "100");
    EXPECT_EQ(FormatDialogInteger(-12), "-12");
    EXPECT_EQ(FormatDialogInteger(std::numeric_limits<int32_t>::min()), "-2147483648");
    EXPECT_EQ(FormatDialogDouble(0.333), "0.333");
    EXPECT_EQ(FormatDialogDouble(0.1), "0.1");
    EXPECT_EQ(FormatDialogDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatDialogDouble(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatDialogDouble(1500.0), "1500");
    EXPECT_EQ(FormatDialogDouble(0.0), "0");
    EXPECT_EQ(FormatDialogDouble(-0.25), "-0.25");
    EXPECT_EQ(FormatDialogDouble(1e15), "1e+15");
    EXPECT_EQ(FormatDialogDouble(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatDialogDouble(1e-5), "1e-05");
    EXPECT_EQ(FormatDialogDouble(0.0001), "0.0001");
}

// What is shown is read back as the same value, for values with at most 15
// significant digits.
void CheckRoundTrip()
{
    for (double v : {0.333, 0.1, -2.5, 1e-7, 6.02214076e23, 123456.789}) {
        double back = 0;
        ASSERT_TRUE(ParseDialogDouble(FormatDialogDouble(v), back)) << v;
        EXPECT_EQ(back, v);
    }
    for (int32_t v : {0, 1, -1, 100, std::numeric_limits<int32_t>::max(),
                      std::numeric_limits<int32_t>::min()}) {
        int32_t back = 0;
        ASSERT_TRUE(ParseDialogInteger(FormatDialogInteger(v), back)) << v;
        EXPECT_EQ(back, v);
    }
}

// A C library locale whose decimal separator is not '.', when one is
// installed.
const char* FindCommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                             "it_IT.UTF-8", "ru_RU.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            const bool comma = std::strcmp(std::localeconv()->decimal_point, ".") != 0;
            std::setlocale(LC_ALL, "C");
            if (comma) {
                return name;
            }
        }
    }
    return nullptr;
}

// A C++ locale that writes and reads numbers with a decimal comma and
// grouped thousands, as many users' locales do.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

}  // namespace

TEST(NumberText, ParsesTheDialogGrammarOnly)
{
    CheckParsingTables();
}

TEST(NumberText, FormatsLikePrintf)
{
    CheckFormatting();
    CheckRoundTrip();
}

TEST(NumberText, IgnoresTheGlobalCppLocale)
{
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    CheckParsingTables();
    CheckFormatting();
    CheckRoundTrip();
    std::locale::global(previous);
}

TEST(NumberText, IgnoresTheProcessLocale)
{
    const char* name = FindCommaLocale();
    if (name == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed (tried de_DE, fr_FR, "
                        "it_IT, ru_RU, nl_NL); the process-locale run is skipped";
    }
    ASSERT_NE(std::setlocale(LC_ALL, name), nullptr);
    CheckParsingTables();
    CheckFormatting();
    CheckRoundTrip();
    std::setlocale(LC_ALL, "C");
}

TEST(DialogStrings, CountRefusalNamesTheLimit)
{
    const std::string message = FourDBottleCountsMessage();
    EXPECT_NE(message.find("θ方向"), std::string::npos) << message;
    EXPECT_NE(message.find("φ方向"), std::string::npos) << message;
    // The limit appears grouped by threes, as people write it.
    EXPECT_TRUE(std::regex_search(message, std::regex("[0-9]{1,3}(,[0-9]{3})+"))) << message;
    std::string ungrouped;
    for (char c : message) {
        if (c != ',') {
            ungrouped += c;
        }
    }
    EXPECT_NE(ungrouped.find(FormatDialogInteger(int32_t(kMaxFourDBottleFaces))),
              std::string::npos)
        << message;
}
