// Dialogs on the Windows API: creation from the in-memory template, the shared dialog procedure
// that routes messages to application callbacks, ending a dialog, and showing it (modal with the
// toolkit's polling message loop, or modeless). The template itself and its style rules are pure
// logic, in dialog_template.hpp, which only the toolkit includes.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "dialogkit/runtime/frame.hpp"

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
// numbers as the 32-bit ones (-21, -8) and exist in both builds. What lasts only while a modal
// show or an ending is under way is kept on the stack of the show or the ending (dialog.cpp).
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
// The same with the caption as a C string (null for none), which is read and not kept: no
// string temporaries and no frame. Its first 256 bytes are the dialog's title, as above.
//   HWND dialog = dialog_create(nullptr, "Hello", -1, -1, 160, 60);
HWND dialog_create(HWND parent, const char* caption, int32_t x, int32_t y, int32_t width,
                   int32_t height, uint32_t style = 0, uint32_t ex_style = 0);
INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void dialog_end(HWND dialog, int32_t result);
// Both return at once, calling nothing, when `dialog` is not a window; the modal form otherwise
// when the dialog has been destroyed, posting again a WM_QUIT its loop took from the queue.
void dialog_show_modal(HWND dialog, DialogCallback callback, int32_t* result);
void dialog_show_modeless(HWND dialog, DialogCallback callback, int32_t* result);

// The font recorded last (process-wide, in the shared variable block): that of the most recently
// created dialog, or of the dialog a control was added to since.
HFONT dialog_font();
// Records `dialog`'s font (WM_GETFONT; 0 for no dialog) as the process-wide one and returns it.
HFONT dialog_font_record(HWND dialog);
