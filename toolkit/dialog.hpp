// Dialogs: the in-memory template, creation, the shared dialog procedure that routes messages to
// application callbacks, ending a dialog, and showing it (modal with the toolkit's polling message
// loop, or modeless).
//
// The template builder and the style rules are pure and also built on the host; everything below
// the _WIN32 line needs the Windows API.
#pragma once
#include <stdint.h>

#include "runtime/frame.hpp"

// Style bits the template rules work with (the platform's values; the host has no windows.h).
enum : uint32_t {
  DIALOG_STYLE_DEFAULT = 0x80C000D4,  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT |
                                      // DS_NOFAILCREATE | DS_3DLOOK
  DIALOG_STYLE_ADDED = 0x54,          // DS_3DLOOK | DS_NOFAILCREATE | DS_SETFONT
  DIALOG_STYLE_REMOVED = 0x10000002,  // WS_VISIBLE | DS_SYSMODAL
  DIALOG_STYLE_CENTER = 0x800,        // DS_CENTER
};

// The template: fixed header, the caption widened to UTF-16 (at most 256 units), 8-point
// "MS Sans Serif". 54 + 2n bytes, at most 566.
constexpr int DIALOG_TEMPLATE_MAX = 566;
constexpr int DIALOG_CAPTION_MAX = 256;
constexpr uint16_t DIALOG_FONT_POINTS = 8;
uint32_t dialog_effective_style(uint32_t style, int32_t x, int32_t y);
// Writes the template into `buffer` (room for DIALOG_TEMPLATE_MAX bytes); returns its size.
int dialog_template_build(unsigned char* buffer, const char* caption, uint32_t caption_length,
                          int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style,
                          uint32_t ex_style);

#ifdef _WIN32
#include <windows.h>

// Every application callback (dialog, control, menu item) has the shape of a dialog procedure;
// 0 means "not handled". The result is pointer-sized so that a brush handle fits.
typedef INT_PTR(CALLBACK* DialogCallback)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The four values one callback call sees.
struct CallbackContext {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// The toolkit's per-dialog values live in the dialog window's own slots: the dialog's callback in
// GWL_USERDATA, the end-result address in DWL_USER (DWLP_USER where addresses are wider), the
// owner in GWL_HWNDPARENT (filled by the system). The pointer-sized slot indices are the same
// numbers as the 32-bit ones (-21, -8) and exist in both builds.
#ifdef _WIN64
constexpr int DIALOG_SLOT_RESULT = DWLP_USER;
#else
constexpr int DIALOG_SLOT_RESULT = DWL_USER;
#endif
constexpr int DIALOG_SLOT_CALLBACK = GWLP_USERDATA;
constexpr int DIALOG_SLOT_OWNER = GWLP_HWNDPARENT;

// Creates the hidden dialog; the caption is the top temporary of `frame`, consumed.
HWND dialog_create(ProcedureFrame* frame, HWND parent, int32_t x, int32_t y, int32_t width,
                   int32_t height, uint32_t style, uint32_t ex_style);
INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void dialog_end(HWND dialog, int32_t result);
// Returns at once when `dialog` is not a window; otherwise when the dialog has been destroyed.
void dialog_show_modal(HWND dialog, DialogCallback callback, int32_t* result);
void dialog_show_modeless(HWND dialog, DialogCallback callback, int32_t* result);

// The font of the most recently created dialog (process-wide, in the shared variable block).
HFONT dialog_font();
#endif
