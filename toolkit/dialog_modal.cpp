// Showing a dialog modally: the toolkit's polling message loop, which runs until the dialog is
// gone. Apart from dialog.cpp so that a program that runs its own loop around a modeless dialog
// links none of it.
#include "toolkit/dialog_show.hpp"

void dialog_show_modal(HWND dialog, DialogCallback callback, int32_t* result) {
  // Without a dialog the loop would poll until some unrelated message happened to arrive.
  if (!dialog_bind(dialog, callback, result)) return;
  HWND owner = dialog_owner(dialog);
  DialogUnderWay show = {nullptr, dialog, false};
  chain_push(shows_under_way(), &show);
  if (owner) {
    SendMessageA(owner, WM_CANCELMODE, 0, 0);
    // Only the show that disables the owner gives it back when its dialog ends: an owner that is
    // disabled already runs another modal dialog, whose ending will.
    show.flag = !EnableWindow(owner, FALSE);
  }
  DWORD style = dialog_show(dialog);
  MSG message;
  bool quit = false;
  WPARAM quit_code = 0;
  for (;;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      // A message sent from another thread, or the owner's idle handling, can destroy the dialog
      // while the queue stays empty: look before sleeping again.
      if (!IsWindow(dialog)) break;
      if (!(style & DS_NOIDLEMSG) && owner)
        SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
      Sleep(1);
      continue;
    }
    // WM_QUIT reaches no window and the loop goes on; it is posted again when the loop returns,
    // so that a message loop of the program's own, around this one, still ends.
    if (message.message == WM_QUIT) {
      quit = true;
      quit_code = message.wParam;
    }
    if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (!IsWindow(dialog)) break;
  }
  chain_pop(shows_under_way(), &show);
  if (owner) SetFocus(owner);
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
}
