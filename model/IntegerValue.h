#pragma once
// The program's one rule for turning text into a number, and back.
#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

// Skips leading blanks and tabs, takes an optional "-" or "+", then "$" and
// hexadecimal digits, "%" and binary digits, or decimal digits, stopping at the
// first character that does not fit. No digits give 0. Overflow wraps modulo 2^64.
int64_t IntegerValue(std::string_view text);

// The same value kept in a 32-bit field of the model: wraps as two's complement.
inline int32_t Int32(int64_t value) { return static_cast<int32_t>(value); }

// Plain decimal text: "-" for negatives, no leading zeros or blanks.
std::string DecimalText(int64_t value);

// Sums and offsets of numbers read from files: wrap modulo 2^64 instead of overflowing.
inline int64_t WrapAdd(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

}  // namespace vandrel
