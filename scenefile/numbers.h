// numbers.h - reading the numbers of a scene file the same way on every build.
//
// The C runtimes disagree: one atof knows no "inf", "nan" or hexadecimal
// form, atoi overflows differently where long has 32 bits. These two read
// the C99 forms with the C library's rules (leading white space skipped, the
// longest valid prefix, 0 for a text that is no number) and give the same bits
// everywhere; reals are correctly rounded to double, as a C99 atof rounds.
//
//   scanreal(text, used)  the value of the longest real prefix: decimal, "0x" hexadecimal
//                         with "p" exponent, "inf", "infinity", "nan", "nan(...)" (any
//                         case, optional sign); out of range gives ±inf or ±0; a NaN
//                         keeps its sign, not its payload
//   scanint(text, used)   the longest decimal integer prefix, modulo 2^32 (so the low
//                         bits of a long number are those of its value, as for atoi
//                         on a 64-bit C library)
//
// used, when not null, receives the number of bytes that formed the number,
// leading white space included; 0 when there was no number.
#pragma once

#include <cstdint>

double scanreal(const char* text, int* used = nullptr);
int32_t scanint(const char* text, int* used = nullptr);
