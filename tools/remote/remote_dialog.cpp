#include "tools/remote/remote_dialog.hpp"

#include <string.h>

#include <vector>

namespace remote {

std::string utf8_of(const wchar_t* text, int n) {
  if (n <= 0) return "";
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, n, &out[0], bytes, nullptr, nullptr);
  return out;
}

std::wstring wide_of(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

bool window_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD timeout_ms,
                 LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, timeout_ms, &answer))
    return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

std::string window_caption(HWND window) {
  wchar_t title[512] = {};
  return utf8_of(title, GetWindowTextW(window, title, 512));
}

std::string window_text(HWND window, DWORD timeout_ms) {
  LRESULT length = 0;
  if (!window_send(window, WM_GETTEXTLENGTH, 0, 0, timeout_ms, &length) || length <= 0) return "";
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  LRESULT copied = 0;
  if (!window_send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                   timeout_ms, &copied))
    return "";
  return utf8_of(buffer.data(), copied < length ? static_cast<int>(copied) : static_cast<int>(length));
}

namespace {

BOOL CALLBACK add_window(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> top_level_windows() {
  std::vector<HWND> windows;
  EnumWindows(add_window, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

DWORD window_process(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

bool window_has_class(HWND window, const char* name) {
  char class_name[64] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  return strcmp(class_name, name) == 0;
}

HWND dialog_find(const char* caption, DWORD timeout_ms) {
  for (DWORD waited = 0;; waited += DIALOG_POLL_MS) {
    for (HWND window : top_level_windows())
      if (window_process(window) != GetCurrentProcessId() && IsWindowVisible(window) &&
          window_has_class(window, "#32770") && (!caption || caption == window_caption(window)))
        return window;
    if (waited >= timeout_ms) return nullptr;
    Sleep(DIALOG_POLL_MS);
  }
}

RECT control_rect(HWND dialog, HWND control) {
  RECT r = {};
  if (!control) {
    GetClientRect(dialog, &r);
    return r;
  }
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

namespace {

INT_PTR CALLBACK quiet_dialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

// Every toolkit dialog has the same font, 8-point "MS Sans Serif", so a hidden dialog of that
// font made here has its scale: MapDialogRect on another program's dialog fails under Wine.
HWND scale_dialog() {
  static HWND scale = nullptr;
  if (scale) return scale;
  static WORD t[64];
  WORD* p = t;
  DWORD style = WS_POPUP | DS_SETFONT;
  *p++ = LOWORD(style);
  *p++ = HIWORD(style);
  *p++ = 0;  // extended style
  *p++ = 0;  // extended style, high word
  *p++ = 0;  // no items
  *p++ = 0;  // x
  *p++ = 0;  // y
  *p++ = 100;
  *p++ = 100;
  *p++ = 0;  // no menu
  *p++ = 0;  // the dialog class
  *p++ = 0;  // no caption
  *p++ = 8;  // points
  for (const char* c = "MS Sans Serif";; ++c) {
    *p++ = static_cast<WORD>(*c);
    if (!*c) break;
  }
  scale = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t),
                                     nullptr, quiet_dialog, 0);
  return scale;
}

}  // namespace

bool units_ready() { return scale_dialog() != nullptr; }

POINT units_to_pixels(long x, long y) {
  RECT r = {0, 0, x, y};
  MapDialogRect(scale_dialog(), &r);
  return {r.right, r.bottom};
}

POINT pixels_to_units(long x, long y) {
  POINT k = units_to_pixels(1000, 1000);
  return {units_of_pixels(x, k.x), units_of_pixels(y, k.y)};
}

}  // namespace remote
