#pragma once
// Exact decimal arithmetic for figures that are rounded and compared at fixed places.
// Values are scaled integers: Decimal{2245, 2} is 22.45.

#include <cstdint>
#include <string>

namespace kalvora {

// Quotient numerator/denominator rounded to a whole number, halves away from zero.
long long RoundQuotientHalfAwayFromZero(long long numerator, long long denominator);

// Quotient numerator/denominator rounded to a whole number, halves to the even neighbour.
long long RoundQuotientHalfToEven(long long numerator, long long denominator);

// A decimal value held exactly as units of 10^-places.
struct Decimal {
    long long units = 0;
    int places = 0;

    // Rescale to `newPlaces` places, rounding halves away from zero when places are dropped.
    Decimal rescaled(int newPlaces) const;
    double toDouble() const;
    // Plain text with exactly `places` decimals and the given separator, no grouping: "-1.30".
    std::string toText(char decimalSeparator = '.') const;
    // Parse "12.5", "-0,25" (either separator); exact, rounded half away from zero to `places`.
    static bool parse(const std::string& text, int places, Decimal& out);
    static Decimal fromDouble(double value, int places);  // half away from zero
};

// Text of a whole number with digit grouping every three digits: 1134 -> "1.134" (German).
std::string GroupDigits(long long value, char groupSeparator);

}  // namespace kalvora
