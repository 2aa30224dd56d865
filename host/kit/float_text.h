// Numbers as users type them and files hold them. A number becomes a float
// only when it is one: written in decimals, finite and within the float's
// range. Anything else is refused with a reason, never read as zero or
// rounded to an infinity; a number too small for a float rounds to it (to 0
// at the smallest) as every decimal does.
#pragma once

#include <string>

// [+-] digits [. digits] [e [+-] digits], a digit on one side of the point:
// the forms every reader of scene files agrees on (no hexadecimal, no words).
bool isDecimal(const std::string& text);

// Empty when `text` reads whole as such a float (then stored in `out`),
// otherwise why not: "'x' is not a number", "'nan' is not a finite number",
// "'1e39' lies outside a float's range (3.4e38)".
std::string readFloat(const std::string& text, float& out);
