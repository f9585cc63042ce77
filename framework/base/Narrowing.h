// Narrowing: the one rule by which text is written as 8-bit text, one byte
// a UTF-16 code unit.
//
// A unit is written as its low byte (U+00E9 as 0xE9, U+20AC as 0xAC, each
// half of a surrogate pair on its own), except where that byte would be 0
// (U+0100, U+4E00, U+DC00, ...): then as "?". 8-bit text cannot hold a zero
// byte (a file with one does not open), so nothing narrowed ever makes one.
// Save, the recovery copy at the end of a session and the one a crash
// writes all narrow by this rule.
#pragma once

#include <cstddef>

// What a unit whose low byte is 0 is written as.
inline constexpr unsigned char kNarrowedZero = '?';

// The byte that stands for the unit in 8-bit text.
constexpr unsigned char NarrowUnit(char16_t unit)
{
    const auto low = static_cast<unsigned char>(unit & 0xFF);
    return low != 0 ? low : kNarrowedZero;
}

// bytes[i] = NarrowUnit(units[i]) for count units, sixteen at a time where
// the processor can. It only reads and writes memory, so a signal handler
// may call it.
void NarrowUnits(const char16_t* units, std::size_t count, unsigned char* bytes) noexcept;

// Whether every unit is below U+0100, each one narrowed to itself: 64 units
// a test where the processor can.
bool UnitsFitInBytes(const char16_t* units, std::size_t count) noexcept;
