// What the two ways of showing a dialog share (dialog.cpp, dialog_modal.cpp). The toolkit's own.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "toolkit/dialog.hpp"

// A window property of a dialog, named by an integer atom: the owner was disabled by this
// dialog's modal show (not by a dialog running on the owner before it), so ending this dialog
// gives the owner back, as the platform's modal dialogs do.
constexpr ATOM PROP_OWNER_DISABLED = 0x7D01;

HWND dialog_owner(HWND dialog);
// Stores the result address, delivers WM_INITDIALOG and binds the callback; false, calling
// nothing, when there is no dialog.
bool dialog_bind(HWND dialog, DialogCallback callback, int32_t* result);
// Shows the dialog (maximised when its style asks for it) and returns its style.
DWORD dialog_show(HWND dialog);
