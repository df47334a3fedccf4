// The window properties that the toolkit sets on a program's windows, each named by an integer
// atom of its own so that it meets no property of the program's (whose atoms are strings or
// other numbers). All of them are here, so that a new one takes a number no other has had.
// The toolkit's own.
#pragma once
#include <windows.h>

// 0x7D01 and 0x7D02 named the dialog's disabled owner and its ending under way in 1.x releases
// before those moved to the stacks of the show and the ending (dialog.cpp): not to be used again.
constexpr ATOM WINDOW_PROPERTY_FIRST = 0x7D01;

// A dialog's layout record (layout.cpp), from layout_attach until WM_NCDESTROY.
constexpr ATOM WINDOW_PROPERTY_LAYOUT = 0x7D03;

static_assert(WINDOW_PROPERTY_LAYOUT > WINDOW_PROPERTY_FIRST + 1, "retired atoms are not reused");
// Integer atoms lie below 0xC000; the system's string atoms from there up.
static_assert(WINDOW_PROPERTY_LAYOUT < MAXINTATOM, "an integer atom");
