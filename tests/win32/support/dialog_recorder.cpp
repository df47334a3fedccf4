// Helpers of the dialog tests: recording callbacks, dialog and control makers, a counting owner.
#include "tests/win32/support/dialog_recorder.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/test_support.hpp"

std::vector<RecordedCall> recorded_calls;
std::function<INT_PTR(const RecordedCall&)> recorded_answer;
OwnerCounts owner_counts;

void recorder_reset() {
  recorded_calls.clear();
  recorded_answer = nullptr;
  owner_counts = OwnerCounts{};
}

static INT_PTR record(CallbackSource source, HWND window, UINT message, WPARAM wparam,
                      LPARAM lparam) {
  RecordedCall call{source, window, message, wparam, lparam};
  recorded_calls.push_back(call);
  return recorded_answer ? recorded_answer(call) : 0;
}

INT_PTR CALLBACK record_dialog(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return record(CallbackSource::Dialog, window, message, wparam, lparam);
}
INT_PTR CALLBACK record_control(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return record(CallbackSource::Control, window, message, wparam, lparam);
}
INT_PTR CALLBACK record_menu(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return record(CallbackSource::Menu, window, message, wparam, lparam);
}

std::vector<RecordedCall> calls_of(CallbackSource source, UINT message) {
  std::vector<RecordedCall> out;
  for (const RecordedCall& c : recorded_calls)
    if (c.source == source && (message == 0 || c.message == message)) out.push_back(c);
  return out;
}

std::vector<UINT> message_order(CallbackSource source, std::vector<UINT> wanted) {
  std::vector<UINT> out;
  for (const RecordedCall& c : recorded_calls) {
    if (c.source != source) continue;
    for (UINT w : wanted)
      if (c.message == w) out.push_back(c.message);
  }
  return out;
}

HWND make_dialog(HWND parent, uint32_t style, const char* caption, int32_t x, int32_t y,
                 int32_t width, int32_t height) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, caption);
  return dialog_create(&frame, parent, x, y, width, height, style, 0);
}

HWND make_control(HWND dialog, const char* class_name, int id, DialogCallback callback) {
  HWND control = CreateWindowExA(0, class_name, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(callback));
  return control;
}

static LRESULT CALLBACK owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ENTERIDLE) {
    ++owner_counts.enter_idle;
    owner_counts.idle_wparam = wparam;
    owner_counts.idle_lparam = lparam;
  }
  if (message == WM_CANCELMODE) {
    ++owner_counts.cancel_mode;
    if (!IsWindowEnabled(window)) ++owner_counts.cancel_mode_while_disabled;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_owner() {
  static ATOM atom;
  if (!atom) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = owner_procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DialogTestOwner";
    atom = RegisterClassA(&wc);
  }
  return CreateWindowExA(0, "DialogTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                         200, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void RecordingTest::TearDown() {
  for (HWND w : windows_)
    if (IsWindow(w)) DestroyWindow(w);
  pump_messages();
  recorder_reset();
}
