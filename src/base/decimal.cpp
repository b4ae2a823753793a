#include "base/decimal.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>

namespace kalvora {

namespace {

using Unsigned = unsigned long long;

constexpr Unsigned kPowersOfTen[] = {1ULL,
                                     10ULL,
                                     100ULL,
                                     1000ULL,
                                     10000ULL,
                                     100000ULL,
                                     1000000ULL,
                                     10000000ULL,
                                     100000000ULL,
                                     1000000000ULL,
                                     10000000000ULL,
                                     100000000000ULL,
                                     1000000000000ULL,
                                     10000000000000ULL,
                                     100000000000000ULL,
                                     1000000000000000ULL,
                                     10000000000000000ULL,
                                     100000000000000000ULL,
                                     1000000000000000000ULL,
                                     10000000000000000000ULL};
constexpr int kMaxPower = 19;

// Magnitude of a signed value; well defined for LLONG_MIN too.
Unsigned Magnitude(long long value) {
    return value < 0 ? Unsigned{0} - static_cast<Unsigned>(value) : static_cast<Unsigned>(value);
}

// Signed value of a magnitude, saturated at the ends of the range.
long long Signed(Unsigned magnitude, bool negative) {
    if (negative) {
        if (magnitude >= Magnitude(LLONG_MIN)) return LLONG_MIN;
        return -static_cast<long long>(magnitude);
    }
    return magnitude > static_cast<Unsigned>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(magnitude);
}

enum class Tie { AwayFromZero, ToEven };

// Rounded magnitude of n/d (d > 0). Comparing the remainder with d - r avoids overflow of 2r.
Unsigned RoundedMagnitude(Unsigned n, Unsigned d, Tie tie) {
    const Unsigned quotient = n / d;
    const Unsigned remainder = n % d;
    const Unsigned rest = d - remainder;
    const bool up =
        remainder > rest || (remainder == rest && (tie == Tie::AwayFromZero || quotient % 2 != 0));
    return quotient + (up ? 1 : 0);
}

long long RoundQuotient(long long numerator, long long denominator, Tie tie) {
    if (denominator == 0) return 0;  // no quotient; callers check their denominators
    const bool negative = (numerator < 0) != (denominator < 0);
    return Signed(RoundedMagnitude(Magnitude(numerator), Magnitude(denominator), tie), negative);
}

// units * 10^power, saturated.
long long ScaleUp(long long units, int power) {
    if (units == 0) return 0;
    const Unsigned magnitude = Magnitude(units);
    if (power > kMaxPower || magnitude > ULLONG_MAX / kPowersOfTen[power])
        return units < 0 ? LLONG_MIN : LLONG_MAX;
    return Signed(magnitude * kPowersOfTen[power], units < 0);
}

// units / 10^power, halves away from zero.
long long ScaleDown(long long units, int power) {
    if (power > kMaxPower) return 0;  // every long long is below half of 10^20
    return Signed(RoundedMagnitude(Magnitude(units), kPowersOfTen[power], Tie::AwayFromZero), units < 0);
}

// Exact decimal digits and a power of ten: the value is digits * 10^exponent.
bool FromDigits(bool negative, std::string_view digits, long long exponent, int places, Decimal& out) {
    // Keep the digits that land at or above 10^-places, then round on the first dropped digit.
    if (digits.empty()) {
        out = {0, places};
        return true;
    }
    const long long keep = static_cast<long long>(digits.size()) + exponent + places;
    Unsigned magnitude = 0;
    bool roundUp = false;
    if (keep > 0) {
        const std::size_t taken = static_cast<std::size_t>(std::min<long long>(keep, digits.size()));
        for (std::size_t i = 0; i < taken; ++i) {
            const Unsigned digit = static_cast<Unsigned>(digits[i] - '0');
            if (magnitude > (ULLONG_MAX - digit) / 10) return false;
            magnitude = magnitude * 10 + digit;
        }
        for (long long i = static_cast<long long>(digits.size()); i < keep; ++i) {
            if (magnitude > ULLONG_MAX / 10) return false;
            magnitude *= 10;
        }
        roundUp = taken < digits.size() && digits[taken] >= '5';
    } else {
        roundUp = keep == 0 && !digits.empty() && digits[0] >= '5';
    }
    if (roundUp) {
        if (magnitude == ULLONG_MAX) return false;
        ++magnitude;
    }
    if (magnitude > (negative ? Magnitude(LLONG_MIN) : static_cast<Unsigned>(LLONG_MAX))) return false;
    out.units = Signed(magnitude, negative);
    out.places = places;
    return true;
}

}  // namespace

long long RoundQuotientHalfAwayFromZero(long long numerator, long long denominator) {
    return RoundQuotient(numerator, denominator, Tie::AwayFromZero);
}

long long RoundQuotientHalfToEven(long long numerator, long long denominator) {
    return RoundQuotient(numerator, denominator, Tie::ToEven);
}

Decimal Decimal::rescaled(int newPlaces) const {
    if (newPlaces >= places) return {ScaleUp(units, newPlaces - places), newPlaces};
    return {ScaleDown(units, places - newPlaces), newPlaces};
}

double Decimal::toDouble() const {
    // Both operands exact: one correctly rounded division gives the nearest double.
    if (places >= 0 && places <= 22 && Magnitude(units) <= (Unsigned{1} << 53)) {
        static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        return static_cast<double>(units) / kPowers[places];
    }
    std::string text = std::to_string(units) + 'e' + std::to_string(-static_cast<long long>(places));
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Decimal::toText(char decimalSeparator) const {
    std::string digits = std::to_string(Magnitude(units));
    if (places <= 0) {
        if (units != 0) digits.append(static_cast<std::size_t>(-static_cast<long long>(places)), '0');
    } else {
        const std::size_t fraction = static_cast<std::size_t>(places);
        if (digits.size() <= fraction) digits.insert(0, fraction + 1 - digits.size(), '0');
        digits.insert(digits.size() - fraction, 1, decimalSeparator);
    }
    if (units < 0) digits.insert(0, 1, '-');
    return digits;
}

bool Decimal::parse(const std::string& text, int places, Decimal& out) {
    std::string_view rest(text);
    const auto first = rest.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    rest = rest.substr(first, rest.find_last_not_of(' ') - first + 1);

    bool negative = false;
    if (rest.front() == '+' || rest.front() == '-') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    std::string digits;
    long long exponent = 0;
    bool separatorSeen = false;
    for (const char c : rest) {
        if (c >= '0' && c <= '9') {
            if (!(digits.empty() && c == '0')) digits.push_back(c);
            if (separatorSeen) --exponent;
        } else if ((c == '.' || c == ',') && !separatorSeen) {
            separatorSeen = true;
        } else {
            return false;
        }
    }
    if (rest.find_first_of("0123456789") == std::string_view::npos) return false;
    return FromDigits(negative, digits, exponent, places, out);
}

Decimal Decimal::fromDouble(double value, int places) {
    if (!std::isfinite(value) || value == 0.0) return {0, places};
    // The shortest text that reads back as the same double is the decimal value the figure stands
    // for: 22.45 is rounded as 22.45, not as the binary 22.4499999...
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (error != std::errc()) return {0, places};
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const auto e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e)) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    long long exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    // d.ddd e X has digits * 10^(X - (count - 1)).
    exponent -= static_cast<long long>(digits.size()) - 1;

    Decimal result{0, places};
    if (!FromDigits(value < 0, digits, exponent, places, result)) {
        result.units = value < 0 ? LLONG_MIN : LLONG_MAX;
    }
    return result;
}

std::string GroupDigits(long long value, char groupSeparator) {
    std::string digits = std::to_string(Magnitude(value));
    for (std::size_t pos = digits.size(); pos > 3; pos -= 3) digits.insert(pos - 3, 1, groupSeparator);
    if (value < 0) digits.insert(0, 1, '-');
    return digits;
}

}  // namespace kalvora
