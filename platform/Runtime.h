// The C runtime's number scanning, independent of the process locale: a full
// stop is the decimal separator whatever LC_NUMERIC says.
#pragma once

// Formatted scanning with the runtime's semantics for the conversions the
// module uses: "%lf" (double*), "%d" (int*) and "%%"; blank space in the
// format matches any run of blank space (or none) in the input; any other
// character must match itself. Every conversion skips leading blank space.
// Returns the number of values stored, or -1 (EOF) when the input ends
// before the first conversion. Scanning stops at the first mismatch or at a
// conversion it does not know.
//
// Numbers: "%lf" reads what strtod reads: an optional sign, decimal digits
// with an optional point and exponent, hexadecimal ("0x1.8p3"), "inf",
// "infinity" and "nan" in any case. A value beyond the double range reads as
// an infinity, a value too small as 0 (or the nearest subnormal). An "e"
// without exponent digits ends the number before the "e".
// "%d" reads an optional sign and decimal digits; a value beyond the 32-bit
// range saturates at INT_MIN or INT_MAX instead of wrapping, so that an
// overlong number can never pass a range check as a small one.
int sscanf_s(const char* buffer, const char* format, ...);

// Reads one number as "%lf" does, from `first`, without skipping blank
// space and without reading at or beyond `last`. Returns the end of the
// number, or nullptr (value untouched) when no number begins at `first`.
const char* ScanDouble(const char* first, const char* last, double& value);

// number * numerator / denominator with a 64-bit intermediate product,
// rounded to the nearest integer (halves away from zero). -1 when the
// denominator is 0 or the result does not fit in an int, as the platform's
// MulDiv does. Dialog units become pixels with it.
int MulDiv(int number, int numerator, int denominator);
