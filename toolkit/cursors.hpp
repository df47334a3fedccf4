// The cursor table: which system cursor a cursor number names. Pure logic, built on the host as
// well; cursor_set (controls.hpp, cursors.cpp) loads and sets the cursor.
#pragma once
#include <stdint.h>

// The system cursor identifier of a cursor number; numbers outside 0 to 13 count as 0, whose
// identifier 0 names no cursor.
uint16_t cursor_identifier(int32_t number);
