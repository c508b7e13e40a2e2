#include "view/FieldChecks.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vantrel {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

template <typename T>
std::optional<T> ParseWhole(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Between(const char* kind, const std::string& min, const std::string& max) {
    return std::string("Please enter ") + kind + " between " + min + " and " + max + ".";
}

FieldCheck<std::int64_t> CheckWhole(std::string_view text, std::int64_t min, std::int64_t max, bool allowSign) {
    const std::string_view trimmed = Trimmed(text);
    const bool signed_ = !trimmed.empty() && trimmed.front() == '-';
    const std::optional<std::int64_t> value =
        (signed_ && !allowSign) ? std::nullopt : ParseWhole<std::int64_t>(text);
    if (!value) return {std::nullopt, allowSign ? "Please enter an integer." : "Please enter a positive integer."};
    if (*value < min || *value > max)
        return {std::nullopt, Between("an integer", std::to_string(min), std::to_string(max))};
    return {value, {}};
}

}  // namespace

std::string FormatG(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

FieldCheck<std::int64_t> CheckUnsignedField(std::string_view text, std::int64_t min, std::int64_t max) {
    return CheckWhole(text, min, max, false);
}

FieldCheck<std::int64_t> CheckIntegerField(std::string_view text, std::int64_t min, std::int64_t max) {
    return CheckWhole(text, min, max, true);
}

FieldCheck<double> CheckDecimalField(std::string_view text, double min, double max) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    const bool parsed = !text.empty() && end == text.data() + text.size() &&
                        (ec == std::errc{} || ec == std::errc::result_out_of_range);
    if (!parsed) return {std::nullopt, "Please enter a number."};
    if (ec != std::errc{} || !std::isfinite(value) || value < min || value > max)
        return {std::nullopt, Between("a number", FormatG(min), FormatG(max))};
    return {value, {}};
}

}  // namespace vantrel
