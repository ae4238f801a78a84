#include "engine/soap/array_positions.h"

#include <charconv>

namespace wscore {

namespace {

// Comma-separated decimal numbers, each within kMaxArrayDimension; empty on anything else.
std::vector<long long> numbers(std::string_view text) {
    std::vector<long long> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string_view piece = text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        while (!piece.empty() && piece.front() == ' ')
            piece.remove_prefix(1);
        while (!piece.empty() && piece.back() == ' ')
            piece.remove_suffix(1);
        long long value = 0;
        auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
        if (piece.empty() || ec != std::errc() || end != piece.data() + piece.size() || value < 0 ||
            value > kMaxArrayDimension || out.size() >= 32)
            return {};
        out.push_back(value);
        if (comma == std::string_view::npos)
            return out;
        start = comma + 1;
    }
}

}  // namespace

std::vector<long long> parseShape(std::string_view text) {
    std::vector<long long> dims = numbers(text);
    if (dims.size() < 2)
        return {};
    return dims;
}

std::vector<long long> bracketedNumbers(std::string_view text) {
    std::size_t open = text.rfind('[');
    if (open == std::string_view::npos || text.empty() || text.back() != ']')
        return {};
    return numbers(text.substr(open + 1, text.size() - open - 2));
}

std::optional<long long> linearIndex(std::string_view bracketed,
                                     const std::vector<long long>& dims) {
    std::vector<long long> at = bracketedNumbers(bracketed);
    if (at.size() == 1)
        return at.front();
    if (at.empty() || at.size() != dims.size())
        return std::nullopt;
    long long index = 0;
    for (std::size_t d = 0; d < at.size(); ++d) {
        if (at[d] >= dims[d])
            return std::nullopt;
        index = index * dims[d] + at[d];
        if (index > kMaxArrayDimension)
            return std::nullopt;
    }
    return index;
}

std::optional<long long> placeCount(const std::vector<long long>& dims, long long limit) {
    long long places = 1;
    for (long long d : dims) {
        if (d == 0)
            return 0;
        if (places > limit / d)
            return std::nullopt;
        places *= d;
    }
    return places;
}

}  // namespace wscore
