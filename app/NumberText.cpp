#include "app/NumberText.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text between leading and trailing blanks or tabs, as [first, last).
void TrimBlanks(const std::string& text, const char*& first, const char*& last)
{
    first = text.data();
    last = text.data() + text.size();
    while (first != last && IsBlank(*first)) {
        ++first;
    }
    while (last != first && IsBlank(last[-1])) {
        --last;
    }
}

}  // namespace

bool ParseDialogInteger(const std::string& text, int32_t& value)
{
    const char* first;
    const char* last;
    TrimBlanks(text, first, last);

    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last) {
        return false;
    }
    for (const char* p = first; p != last; ++p) {
        if (!IsDigit(*p)) {
            return false;
        }
    }

    // The magnitude may be one beyond the largest positive value when
    // negative; anything that does not even fit 64 bits is out of range too.
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(first, last, magnitude, 10);
    if (error != std::errc() || end != last) {
        return false;
    }
    const uint64_t limit = negative
        ? uint64_t(std::numeric_limits<int32_t>::max()) + 1
        : uint64_t(std::numeric_limits<int32_t>::max());
    if (magnitude > limit) {
        return false;
    }
    value = negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
    return true;
}

bool ParseDialogDouble(const std::string& text, double& value)
{
    const char* first;
    const char* last;
    TrimBlanks(text, first, last);

    // The grammar is checked here rather than left to the conversion, which
    // would also take "inf", "nan" and other spellings the dialog refuses.
    const char* p = first;
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const number = p;  // the conversion takes no '+'

    // Decimal position of the leading significant digit, relative to the
    // units digit; tells an overflow from an underflow below.
    int64_t leadingPosition = 0;
    bool seenSignificant = false;
    int digits = 0;
    int64_t integerDigits = 0;
    while (p != last && IsDigit(*p)) {
        if (*p != '0' && !seenSignificant) {
            seenSignificant = true;
            integerDigits = 0;
        }
        if (seenSignificant) {
            ++integerDigits;
        }
        ++digits;
        ++p;
    }
    if (seenSignificant) {
        leadingPosition = integerDigits - 1;
    }
    if (p != last && *p == '.') {
        ++p;
        int64_t fractionPosition = 0;
        while (p != last && IsDigit(*p)) {
            --fractionPosition;
            if (*p != '0' && !seenSignificant) {
                seenSignificant = true;
                leadingPosition = fractionPosition;
            }
            ++digits;
            ++p;
        }
    }
    if (digits == 0) {
        return false;
    }
    int64_t exponent = 0;
    if (p != last && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p != last && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        if (p == last || !IsDigit(*p)) {
            return false;
        }
        while (p != last && IsDigit(*p)) {
            // Saturates far beyond any exponent a double can reach.
            if (exponent < 1000000000) {
                exponent = exponent * 10 + (*p - '0');
            }
            ++p;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (p != last) {
        return false;
    }

    double result = 0.0;
    const auto [end, error] =
        std::from_chars(number, last, result, std::chars_format::general);
    if (end != last) {
        return false;
    }
    if (error == std::errc::result_out_of_range) {
        // Too large refuses; too small for even the least subnormal is zero.
        if (!seenSignificant || leadingPosition + exponent >= 0) {
            return false;
        }
        result = 0.0;
    } else if (error != std::errc()) {
        return false;
    }
    if (result == std::numeric_limits<double>::infinity()) {
        return false;
    }
    value = negative ? -result : result;
    return true;
}

std::string FormatDialogInteger(int32_t value)
{
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;  // eleven characters always fit
    return std::string(buffer, end);
}

std::string FormatDialogDouble(double value)
{
    // "-1.23456789012345e-308" is the longest form; 32 leaves room.
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::general, 15);
    (void)error;
    return std::string(buffer, end);
}
