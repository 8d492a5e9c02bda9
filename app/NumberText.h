#pragma once
// The text forms of the numbers the dialogs show and read. The window toolkit
// sets the process locale from the environment, so nothing here may go
// through the C library's locale-aware conversions: "0.333" must stay
// "0.333" whatever decimal separator the user's locale has.

#include <cstdint>
#include <string>

// A decimal integer, optionally signed, with blanks or tabs allowed before
// and after it and nothing else. Refuses values outside the 32-bit range.
// On failure value is left as it was.
bool ParseDialogInteger(const std::string& text, int32_t& value);

// A number in ordinary decimal or exponent notation (".5", "5.", "+1.5e+3"),
// blanks or tabs allowed around it. Refuses "nan", "inf", hexadecimal
// notation and magnitudes too large for a double; a magnitude too small for
// one becomes zero of the same sign. On failure value is left as it was.
bool ParseDialogDouble(const std::string& text, double& value);

// Plain decimal, as "%d" prints it.
std::string FormatDialogInteger(int32_t value);

// Up to 15 significant digits in the shorter of fixed and exponent form, as
// "%.15g" prints it: 0.333 gives "0.333".
std::string FormatDialogDouble(double value);
