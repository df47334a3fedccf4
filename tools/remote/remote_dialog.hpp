// Another program's dialog, seen from outside, as dialogkit-driver and the end-to-end probe see
// it: found by its caption, its texts read across processes (asked for in UTF-16, handed out in
// UTF-8), its controls' rectangles in client pixels, and dialog units converted as the toolkit
// converts them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/remote/dialog_units.hpp"

namespace remote {

// UTF-16 to UTF-8 and back.
std::string utf8_of(const wchar_t* text, int n);
std::wstring wide_of(const std::string& text);

// A message to another program's window, answered within `timeout_ms`; false when it was not.
bool window_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD timeout_ms,
                 LRESULT* result);

// A top-level window's caption, which reads across processes.
std::string window_caption(HWND window);

// A window's text by WM_GETTEXT, which another process's controls answer; "" when it is not
// answered within `timeout_ms`.
std::string window_text(HWND window, DWORD timeout_ms);

// The top-level windows, front to back; a window's process; whether its class is `name`
// ("#32770" for dialogs, "#32768" for open menus).
std::vector<HWND> top_level_windows();
DWORD window_process(HWND window);
bool window_has_class(HWND window, const char* name);

// A visible dialog of another process captioned `caption` (null: any), looked for every
// DIALOG_POLL_MS until `timeout_ms` have passed (0: looked for once); null when there is none.
const DWORD DIALOG_POLL_MS = 20;
HWND dialog_find(const char* caption, DWORD timeout_ms);

// A control's rectangle in its dialog's client pixels; the client area for a null control.
RECT control_rect(HWND dialog, HWND control);

// Dialog units in pixels and pixels in dialog units, as the toolkit converts them, by the scale
// of the toolkit's dialog font: each pair mapped on its own. units_ready says whether that scale
// could be read.
bool units_ready();
POINT units_to_pixels(long x, long y);
POINT pixels_to_units(long x, long y);

}  // namespace remote
