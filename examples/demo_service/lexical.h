// Reading and writing the XML Schema lexical forms the demo's operations use. Surrounding XML
// whitespace is ignored on reading, as the schema's whitespace "collapse" rule says.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace nv::demo {

// Empty or only XML whitespace.
bool isBlank(std::string_view text);

std::optional<std::int32_t> parseInt(std::string_view text);
// Also INF, -INF and NaN.
std::optional<double> parseDouble(std::string_view text);
// true, false, 1, 0.
std::optional<bool> parseBoolean(std::string_view text);
// [+-]digits[.digits], at least one digit.
bool isDecimal(std::string_view text);
// CCYY-MM-DDThh:mm:ss[.fraction][Z|(+|-)hh:mm] with every field in range.
bool isDateTime(std::string_view text);

std::string formatInt(std::int64_t value);
// The shortest form that reads back as the same double; INF, -INF and NaN otherwise.
std::string formatDouble(double value);
std::string formatBoolean(bool value);
// UTC, whole seconds, "2024-05-01T09:30:00Z".
std::string formatDateTime(std::time_t when);

}  // namespace nv::demo
