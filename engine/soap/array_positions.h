// The sizes, offsets and positions that SOAP-encoded arrays state in brackets: the size at the
// end of SOAP-ENC:arrayType ("xsd:int[2,3]"), SOAP-ENC:offset ("[2]") and SOAP-ENC:position
// ("[1,2]"), and the comma-separated shape an array record's `info` carries ("2,3").
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace wscore {

// No dimension above this is taken: far more than any message holds, and products of a few
// such numbers stay within 64 bits.
inline constexpr long long kMaxArrayDimension = 1LL << 31;

// "2,3" -> {2, 3}; at least two numbers (a one-dimensional array needs no shape). Empty when
// the text is no shape.
std::vector<long long> parseShape(std::string_view text);

// The numbers inside the last "[...]" of `text`: {5} for "xsd:int[5]", {2, 3} for "[2,3]".
// Empty for "[]", for no brackets, and for anything but decimal numbers.
std::vector<long long> bracketedNumbers(std::string_view text);

// The row-major index of the coordinates in `bracketed` within an array of shape `dims`; a
// single coordinate is the index itself. None when they do not fit the shape.
std::optional<long long> linearIndex(std::string_view bracketed,
                                     const std::vector<long long>& dims);

// The number of places of an array of shape `dims` (none when it exceeds `limit`).
std::optional<long long> placeCount(const std::vector<long long>& dims, long long limit);

}  // namespace wscore
