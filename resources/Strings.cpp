#include "resources/Strings.h"

#include "surfaces/Generators.h"

#include <charconv>
#include <initializer_list>

namespace {

TextTranslator& CurrentTranslator()
{
    static TextTranslator translator = nullptr;
    return translator;
}

// Digits grouped by threes with commas, as the limit is written for people.
std::string GroupedDecimal(int64_t value)
{
    char buffer[24];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;  // twenty characters always fit
    const std::string digits(buffer, end);
    std::string grouped;
    const std::size_t count = digits.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0 && (count - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

// The translated message with {1}, {2}, ... replaced by the values, so a
// translation may put them in its own order.
std::string WithValues(const Text& message, std::initializer_list<std::string> values)
{
    std::string text = message;
    std::size_t index = 1;
    for (const std::string& value : values) {
        const std::string mark = "{" + std::to_string(index++) + "}";
        for (std::size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + value.size())) {
            text.replace(at, mark.size(), value);
        }
    }
    return text;
}

}  // namespace

std::string TranslateText(const char* id)
{
    // The empty id is a catalogue's header, never a text.
    const TextTranslator translator = CurrentTranslator();
    return translator != nullptr && *id != '\0' ? translator(id) : std::string(id);
}

void SetTextTranslator(TextTranslator translator)
{
    CurrentTranslator() = translator;
}

std::string FourDBottleCountsMessage()
{
    return WithValues(kStrFourDBottleCounts, {GroupedDecimal(kMaxFourDBottleFaces)});
}

std::string SaveFailedMessage(const std::string& path, const std::string& reason)
{
    return std::string(kStrSaveFailed) + "\n" + path + "\n" + reason;
}

std::string PictureTooLargeMessage(int width, int height, int largest)
{
    return WithValues(kStrPictureTooLarge,
                      {std::to_string(width), std::to_string(height), std::to_string(largest)});
}

std::string WriteFailedReason(const std::string& cause)
{
    return WithValues(kStrSaveWriteFailed, {cause});
}
