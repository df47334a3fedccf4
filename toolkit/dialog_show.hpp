// What the two ways of showing a dialog share (dialog.cpp, dialog_modal.cpp). The toolkit's own.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "runtime/process.hpp"
#include "dialogkit/toolkit/dialog.hpp"

// One modal show or one dialog_end under way, on its stack; the innermost of each kind heads its
// chain. Modal loops nest inside callbacks, and an ending inside the WM_CLOSE of another, so each
// chain is a stack: a record is unlinked before its function returns. Nothing of it is allocated
// or set with the system, so no refusal of the system can lose it.
struct DialogUnderWay {
  DialogUnderWay* outer;
  HWND dialog;
  // A show: the show disabled the owner (it was not disabled already by a dialog running on it
  // before), so ending this dialog gives the owner back, as the system's modal dialogs do.
  // An ending: a dialog_end of the same dialog from inside its WM_CLOSE has taken the ending over.
  bool flag;
};

// The chains' heads, kept as addresses in the shared variable block.
inline uintptr_t& shows_under_way() { return process_state()->shared.dialog_shows; }
inline uintptr_t& endings_under_way() { return process_state()->shared.dialog_endings; }

// The record of `dialog` in the chain that starts at `head`, or none.
inline DialogUnderWay* under_way(uintptr_t head, HWND dialog) {
  for (DialogUnderWay* record = reinterpret_cast<DialogUnderWay*>(head); record; record = record->outer)
    if (record->dialog == dialog) return record;
  return nullptr;
}

inline void chain_push(uintptr_t& head, DialogUnderWay* record) {
  record->outer = reinterpret_cast<DialogUnderWay*>(head);
  head = reinterpret_cast<uintptr_t>(record);
}

inline void chain_pop(uintptr_t& head, DialogUnderWay* record) {
  head = reinterpret_cast<uintptr_t>(record->outer);
}

HWND dialog_owner(HWND dialog);
// Stores the result address, delivers WM_INITDIALOG and binds the callback; false, calling
// nothing, when there is no dialog.
bool dialog_bind(HWND dialog, DialogCallback callback, int32_t* result);
// Shows the dialog (maximised when its style asks for it) and returns its style.
DWORD dialog_show(HWND dialog);
