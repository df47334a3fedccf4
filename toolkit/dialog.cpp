// Dialogs on the Windows API: creating a hidden dialog from the in-memory template, the one dialog
// procedure shared by every dialog, ending a dialog, and showing it modelessly. The modal show and
// its polling message loop are in dialog_modal.cpp, which a program that shows no modal dialog
// does not link.
//
// Per-dialog values live in the window's own slots, read and written with the pointer-sized slot
// functions so that no address is cut on a 64-bit build; on a 32-bit build these are
// GetWindowLongA and SetWindowLongA. What holds only while a modal show or an ending is under way
// lives in a record on the stack of the show or of the ending, found through a chain that starts
// in the shared variable block: nothing of it has to be allocated or set with the system, so no
// refusal of the system can lose it.
#include "dialogkit/toolkit/dialog.hpp"

#include <stddef.h>

#include "toolkit/dialog_show.hpp"

#include "runtime/process.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "toolkit/dialog_template.hpp"
#include "dialogkit/toolkit/menus.hpp"

namespace {

DialogCallback callback_in_slot(HWND window) {
  return reinterpret_cast<DialogCallback>(GetWindowLongPtrA(window, DIALOG_SLOT_CALLBACK));
}

// The callback of the control with this identifier, or, only when the dialog has no such control,
// of the menu item with this command.
DialogCallback command_callback(HWND dialog, UINT id) {
  if (HWND control = GetDlgItem(dialog, id)) return callback_in_slot(control);
  return menu_get_callback(GetMenu(dialog), id);
}

}  // namespace

HWND dialog_owner(HWND dialog) {
  return reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, DIALOG_SLOT_OWNER));
}

// Show steps shared by both forms: the result address; the callback's WM_INITDIALOG, delivered
// before the callback is bound so that it can prepare its resources while the dialog is still
// hidden; then the callback. The address comes first so that a dialog_end from WM_INITDIALOG (the
// exit of a failed initialisation) stores its result. Returns false, calling nothing, when there
// is no dialog: resources made on WM_INITDIALOG would never see a WM_DESTROY.
bool dialog_bind(HWND dialog, DialogCallback callback, int32_t* result) {
  if (!IsWindow(dialog)) return false;
  SetWindowLongPtrA(dialog, DIALOG_SLOT_RESULT, reinterpret_cast<LONG_PTR>(result));
  if (callback) callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
  SetWindowLongPtrA(dialog, DIALOG_SLOT_CALLBACK, reinterpret_cast<LONG_PTR>(callback));
  return true;
}

// Shows the dialog maximised when its style asks for it; the process's start-up show state plays
// no part. Returns the style.
DWORD dialog_show(HWND dialog) {
  DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  ShowWindow(dialog, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
  return style;
}

namespace {

// Both forms of dialog_create: the caption is this operation's own, to cut where the template cut
// it (a zero byte written into it) when it must be set again.
HWND dialog_create_captioned(char* caption, uint32_t length, HWND parent, int32_t x, int32_t y,
                             int32_t width, int32_t height, uint32_t style, uint32_t ex_style) {
  // DLGTEMPLATE must start on a 4-byte boundary.
  alignas(4) unsigned char buffer[DIALOG_TEMPLATE_MAX];
  dialog_template_build(buffer, caption, length, x, y, width, height, style, ex_style);
  HWND dialog = CreateDialogIndirectParamA(process_state()->instance,
                                           reinterpret_cast<LPCDLGTEMPLATEA>(buffer), parent,
                                           dialog_procedure, 0);
  // A caption beyond ASCII is set again through the process's code page (UTF-8 under the default
  // manifest), cut where the template cut it.
  if (uint32_t n = dialog_caption_reset_length(caption, length, GetACP() == CP_UTF8)) {
    caption[n] = 0;
    SetWindowTextA(dialog, caption);
  }
  // Also after a failure: the zero handle answers 0, so no stale font outlives a failed creation.
  dialog_font_record(dialog);
  return dialog;
}

}  // namespace

HWND dialog_create(ProcedureFrame* frame, HWND parent, int32_t x, int32_t y, int32_t width,
                   int32_t height, uint32_t style, uint32_t ex_style) {
  // The caption is the temporary this operation consumes: it may be cut in place.
  StringView caption = temp_view(frame, 0);
  HWND dialog = dialog_create_captioned(const_cast<char*>(caption.data), caption.length, parent, x,
                                        y, width, height, style, ex_style);
  temp_pop_free(frame);
  return dialog;
}

HWND dialog_create(HWND parent, const char* caption, int32_t x, int32_t y, int32_t width,
                   int32_t height, uint32_t style, uint32_t ex_style) {
  // The template takes no more of the caption than this (and the cut one byte more): a copy of it
  // is the one to cut.
  char title[DIALOG_CAPTION_COPY];
  uint32_t n = dialog_caption_copy(title, caption);
  return dialog_create_captioned(title, n, parent, x, y, width, height, style, ex_style);
}

HFONT dialog_font_record(HWND dialog) {
  LRESULT font = SendMessageA(dialog, WM_GETFONT, 0, 0);
  process_state()->shared.dialog_font = static_cast<uintptr_t>(font);
  return reinterpret_cast<HFONT>(font);
}

HFONT dialog_font() { return reinterpret_cast<HFONT>(process_state()->shared.dialog_font); }

// Re-entrant by construction: it keeps nothing between calls, and every callback reads its
// context from its own arguments, so messages a callback causes may come back in at any depth.
INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Answered here so that neither callbacks nor the system's default activation handling run.
  if (message == WM_ACTIVATE && LOWORD(wparam) <= WA_CLICKACTIVE) return 1;
  if (message == WM_COMMAND) {
    if (DialogCallback control = command_callback(window, LOWORD(wparam))) {
      if (INT_PTR handled = control(window, message, wparam, lparam)) return handled;
    }
  }
  if (DialogCallback callback = callback_in_slot(window)) {
    if (INT_PTR handled = callback(window, message, wparam, lparam)) return handled;
  }
  // The four low bits of a system command are the system's own (a double click on the caption's
  // icon sets some of them).
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
    dialog_end(window, 0);
    return 1;
  }
  return 0;
}

void dialog_end(HWND dialog, int32_t result) {
  // Read before WM_CLOSE: a callback may destroy the dialog on it, and the owner and the result
  // are due all the same.
  HWND owner = dialog_owner(dialog);
  DialogUnderWay* show = under_way(shows_under_way(), dialog);  // only a modal show has one
  int32_t* target = reinterpret_cast<int32_t*>(GetWindowLongPtrA(dialog, DIALOG_SLOT_RESULT));
  if (DialogUnderWay* outer = under_way(endings_under_way(), dialog)) {
    // Called from the WM_CLOSE of an ending of this dialog (a callback that ends its dialog on
    // WM_CLOSE): no second WM_CLOSE; this call ends the dialog, the one under way stores nothing.
    outer->flag = true;
  } else {
    DialogUnderWay ending = {nullptr, dialog, false};
    chain_push(endings_under_way(), &ending);
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    chain_pop(endings_under_way(), &ending);
    if (ending.flag) return;
  }
  // The owner is enabled before the dialog goes, so that the system can activate it in its place.
  BOOL owner_was_disabled = show && show->flag && EnableWindow(owner, TRUE);
  if (owner_was_disabled) show->flag = false;  // given back: the show has nothing left to do
  if (target) *target = result;
  // A dialog that its callback destroyed on WM_CLOSE is already gone: that is no failure.
  if (!DestroyWindow(dialog) && IsWindow(dialog) && owner_was_disabled) {
    EnableWindow(owner, FALSE);
    show->flag = true;
  }
}

void dialog_show_modeless(HWND dialog, DialogCallback callback, int32_t* result) {
  if (dialog_bind(dialog, callback, result)) dialog_show(dialog);
}
