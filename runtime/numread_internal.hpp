// The number parser's own parts, for its tests: the exact path alone, which the parser takes
// only when its fast paths cannot settle the rounding. (A declaration of its own, not an include
// of numread.hpp, so that the parser's units include one another one way only.)
#pragma once
#include <stdint.h>

struct NumberScan;
long double number_parse_exact(const char* text, uint32_t length, NumberScan* scan);
double number_parse_double_exact(const char* text, uint32_t length, NumberScan* scan);
