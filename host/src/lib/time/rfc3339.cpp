#include "lib/time/rfc3339.hpp"

#include <cstdio>
#include <string>

namespace launcher::lib::time {

namespace {

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

// A cursor over the text that reads fields in order and keeps the first failure; once one step
// has failed the later ones do nothing.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    int digits(std::size_t width, std::string_view what, int min, int max) {
        if (failed()) return min;
        int value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            if (!digit_at(pos_ + i)) {
                fail("expected " + std::to_string(width) + " digits of the " + std::string(what));
                return min;
            }
            value = value * 10 + (text_[pos_ + i] - '0');
        }
        if (value < min || value > max) {
            error_ = "the " + std::string(what) + " " + std::to_string(value) + " is out of range";
            return min;
        }
        pos_ += width;
        return value;
    }

    // Consumes one of the accepted characters and returns it.
    char literal(std::string_view accepted, std::string_view what) {
        if (failed()) return '\0';
        if (pos_ < text_.size() && accepted.find(text_[pos_]) != std::string_view::npos) return text_[pos_++];
        fail("expected " + std::string(what));
        return '\0';
    }

    bool next_is(std::string_view candidates) const {
        return !failed() && pos_ < text_.size() && candidates.find(text_[pos_]) != std::string_view::npos;
    }
    bool next_is_digit() const { return !failed() && digit_at(pos_); }
    char take() { return text_[pos_++]; }

    void expect_end() {
        if (!failed() && pos_ != text_.size()) fail("unexpected trailing characters");
    }
    void fail(std::string message) { error_ = message + " at byte " + std::to_string(pos_); }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

private:
    bool digit_at(std::size_t i) const { return i < text_.size() && text_[i] >= '0' && text_[i] <= '9'; }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

std::expected<Rfc3339Time, std::string> parse_rfc3339(std::string_view text) {
    Reader r(text);
    Rfc3339Time t;
    t.year = r.digits(4, "year", 0, 9999);
    r.literal("-", "'-'");
    t.month = r.digits(2, "month", 1, 12);
    r.literal("-", "'-'");
    t.day = r.digits(2, "day", 1, days_in_month(t.year, t.month));
    r.literal("Tt", "'T'");
    t.hour = r.digits(2, "hour", 0, 23);
    r.literal(":", "':'");
    t.minute = r.digits(2, "minute", 0, 59);
    r.literal(":", "':'");
    t.second = r.digits(2, "second", 0, 60);
    if (r.next_is(".")) {
        r.take();
        if (!r.next_is_digit()) r.fail("expected digits of the fraction");
        for (std::uint32_t scale = 100000000; r.next_is_digit(); scale /= 10) {
            t.nanosecond += static_cast<std::uint32_t>(r.take() - '0') * scale;
        }
    }
    if (r.next_is("Zz")) {
        r.take();
    } else {
        char sign = r.literal("+-", "an offset ('Z', '+' or '-')");
        int hours = r.digits(2, "offset hour", 0, 23);
        r.literal(":", "':'");
        int minutes = r.digits(2, "offset minute", 0, 59);
        t.offset_minutes = (sign == '-' ? -1 : 1) * (hours * 60 + minutes);
    }
    r.expect_end();
    if (r.failed()) return std::unexpected(r.error());
    if (t.second == 60) {
        // A leap second is inserted at 23:59:60 UTC only. It is kept as the last instant of the
        // second before it, which every reader of the written-back text (the page's Date too)
        // accepts and which sorts where the leap second belongs.
        int utc_minute = ((t.hour * 60 + t.minute - t.offset_minutes) % (24 * 60) + 24 * 60) % (24 * 60);
        if (utc_minute != 23 * 60 + 59) return std::unexpected("the second 60 is out of range");
        t.second = 59;
        t.nanosecond = 999999999;
    }
    return t;
}

std::expected<std::string, std::string> format_rfc3339(const Rfc3339Time& t) {
    bool in_range = t.year >= 0 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                    t.day <= days_in_month(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
                    t.minute <= 59 && t.second >= 0 && t.second <= 59 && t.nanosecond < 1000000000 &&
                    t.offset_minutes > -24 * 60 && t.offset_minutes < 24 * 60;
    if (!in_range) return std::unexpected("the time cannot be written in RFC 3339");
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                          t.minute, t.second);
    std::string out(buffer, static_cast<std::size_t>(n));
    if (t.nanosecond != 0) {
        std::snprintf(buffer, sizeof buffer, "%09u", t.nanosecond);
        std::string fraction(buffer);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        out += "." + fraction;
    }
    if (t.offset_minutes == 0) {
        out += "Z";
    } else {
        int magnitude = t.offset_minutes < 0 ? -t.offset_minutes : t.offset_minutes;
        std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", t.offset_minutes < 0 ? '-' : '+', magnitude / 60,
                      magnitude % 60);
        out += buffer;
    }
    return out;
}

}  // namespace launcher::lib::time
