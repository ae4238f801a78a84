#include "examples/demo_service/lexical.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace nv::demo {

namespace {

std::string_view trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exactly `count` digits at `pos` as a number; -1 when they are not all digits.
int digitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (!isDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool isBlank(std::string_view text) {
    return trim(text).empty();
}

std::optional<std::int32_t> parseInt(std::string_view text) {
    text = trim(text);
    if (text.starts_with("+-"))
        return std::nullopt;
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> parseDouble(std::string_view text) {
    text = trim(text);
    if (text == "INF" || text == "+INF")
        return std::numeric_limits<double>::infinity();
    if (text == "-INF")
        return -std::numeric_limits<double>::infinity();
    if (text == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (text.starts_with("+-"))
        return std::nullopt;
    if (text.starts_with('+'))
        text.remove_prefix(1);
    // from_chars also reads "inf" and "nan" spellings the schema does not allow.
    if (text.empty() || !(isDigit(text.front()) || text.front() == '.' || text.front() == '-'))
        return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> parseBoolean(std::string_view text) {
    text = trim(text);
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return std::nullopt;
}

bool isDecimal(std::string_view text) {
    text = trim(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    bool digits = false;
    bool point = false;
    for (char c : text) {
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

bool isDateTime(std::string_view text) {
    text = trim(text);
    std::size_t pos = 0;
    if (!text.empty() && text.front() == '-')
        pos = 1;  // years before the common era
    // The year has four or more digits.
    std::size_t yearDigits = 0;
    while (pos + yearDigits < text.size() && isDigit(text[pos + yearDigits]))
        ++yearDigits;
    if (yearDigits < 4)
        return false;
    const int year = digitsAt(text, pos + yearDigits - 4, 4);
    pos += yearDigits;
    if (text.substr(pos, 1) != "-")
        return false;
    const int month = digitsAt(text, pos + 1, 2);
    if (text.substr(pos + 3, 1) != "-")
        return false;
    const int day = digitsAt(text, pos + 4, 2);
    if (text.substr(pos + 6, 1) != "T")
        return false;
    const int hour = digitsAt(text, pos + 7, 2);
    const int minute = digitsAt(text, pos + 10, 2);
    const int second = digitsAt(text, pos + 13, 2);
    if (text.substr(pos + 9, 1) != ":" || text.substr(pos + 12, 1) != ":")
        return false;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour < 0 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    // 24:00:00 is the end of the day; other hours past 23 are not.
    if (hour > 24 || (hour == 24 && (minute != 0 || second != 0)))
        return false;
    pos += 15;
    if (pos < text.size() && text[pos] == '.') {
        std::size_t fraction = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        if (pos == fraction)
            return false;
    }
    if (pos == text.size())
        return true;
    if (text[pos] == 'Z')
        return pos + 1 == text.size();
    if (text[pos] != '+' && text[pos] != '-')
        return false;
    const int zoneHours = digitsAt(text, pos + 1, 2);
    const int zoneMinutes = digitsAt(text, pos + 4, 2);
    return pos + 6 == text.size() && text[pos + 3] == ':' && zoneHours >= 0 && zoneHours <= 14 &&
           zoneMinutes >= 0 && zoneMinutes <= 59 && (zoneHours < 14 || zoneMinutes == 0);
}

std::string formatInt(std::int64_t value) {
    return std::to_string(value);
}

std::string formatDouble(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("NaN");
}

std::string formatBoolean(bool value) {
    return value ? "true" : "false";
}

std::string formatDateTime(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char buffer[32];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(buffer, n);
}

}  // namespace nv::demo
