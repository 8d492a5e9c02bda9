#include "resources/Strings.h"

#include "surfaces/Generators.h"

#include <charconv>

namespace {

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

}  // namespace

std::string FourDBottleCountsMessage()
{
    return "θ方向とφ方向には0以上の整数を、その積が" + GroupedDecimal(kMaxFourDBottleFaces)
        + "以下になるように入力してください。";
}

std::string SaveFailedMessage(const std::string& path, const std::string& reason)
{
    return std::string(kStrSaveFailed) + "\n" + path + "\n" + reason;
}

std::string PictureTooLargeMessage(int width, int height, int largest)
{
    return std::to_string(width) + " × " + std::to_string(height)
        + " ﾋﾟｸｾﾙの画像は描けません。この OpenGL 環境で描ける大きさは縦横とも "
        + std::to_string(largest) + " ﾋﾟｸｾﾙまでです。";
}
