#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

namespace launcher::lib::time {

// A point in time as RFC 3339 writes it: a local date and time and its offset from UTC.
struct Rfc3339Time {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t nanosecond = 0;
    int offset_minutes = 0;  // east of UTC

    bool operator==(const Rfc3339Time&) const = default;
};

// "2024-05-01T12:30:00.25+03:00". The separator may be "T" or "t", the offset "Z", "z" or
// ±HH:MM; fractions beyond nanoseconds are cut off. A leap second (":60", at 23:59 UTC only)
// becomes 59.999999999 seconds, the last instant before it that the other fields can hold.
std::expected<Rfc3339Time, std::string> parse_rfc3339(std::string_view text);

// Canonical text: "T", the fraction without trailing zeros (none when zero), "Z" for a zero
// offset. Fails when a field is out of the range RFC 3339 can write (years 0 to 9999).
std::expected<std::string, std::string> format_rfc3339(const Rfc3339Time& time);

}  // namespace launcher::lib::time
