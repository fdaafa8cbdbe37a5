#pragma once
// Local date and time as a count of days since 30 December 1899 00:00 with the time of day as
// the fraction: the form in which the settings file's moments are compared and stored.

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

using SerialDateTime = double;

// Days from 30 December 1899; nothing for an impossible date.
std::optional<SerialDateTime> EncodeDateTime(const CivilDateTime& civil);
CivilDateTime DecodeDateTime(SerialDateTime value);
// The current local date and time.
SerialDateTime NowLocal();

// Formats with a Qt-style pattern: d dd M MM yy yyyy h hh H HH m mm s ss AP ap; other
// characters stand as they are, and text between single quotes is literal.
std::string FormatDateTime(SerialDateTime value, std::string_view pattern);

// Reads "date time" written with FormatDateTime(value, datePattern + " " + timePattern), or a
// date alone (midnight). Nothing when the text does not follow the patterns or names no date.
std::optional<SerialDateTime> ParseDateTime(std::string_view text, std::string_view datePattern,
                                            std::string_view timePattern);

}  // namespace vantrel
