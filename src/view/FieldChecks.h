#pragma once
// The checks the dialogs run on their fields when OK is pressed, with the
// messages a person sees when a field fails. Numbers are read from the whole
// text (blanks around it allowed); anything else in it fails the field.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

template <typename T>
struct FieldCheck {
    std::optional<T> value;  // set when the field passes
    std::string message;     // why it failed, otherwise empty
    explicit operator bool() const { return value.has_value(); }
};

// A whole number without sign from min to max: "Please enter a positive
// integer." when the text is no such number, "Please enter an integer
// between %1 and %2." when it lies outside.
FieldCheck<std::int64_t> CheckUnsignedField(std::string_view text, std::int64_t min, std::int64_t max);
// A whole number that may be negative, within min and max ("Please enter an integer." when it does not parse).
FieldCheck<std::int64_t> CheckIntegerField(std::string_view text, std::int64_t min, std::int64_t max);
// A finite decimal number from min to max: "Please enter a number." or
// "Please enter a number between %1 and %2." (limits as "%g" shows them).
FieldCheck<double> CheckDecimalField(std::string_view text, double min, double max);

// A number as "%g" writes it: 1 for 1.0, 0.29, 6.5.
std::string FormatG(double value);

}  // namespace vantrel
