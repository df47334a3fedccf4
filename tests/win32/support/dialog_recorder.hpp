// Helpers of the dialog tests: callbacks that record every call they receive, with answers a test
// can choose, and a dialog made through dialog_create with a caption pushed on a frame.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dialogkit/toolkit/dialog.hpp"

enum class CallbackSource { Dialog, Control, Menu };

struct RecordedCall {
  CallbackSource source;
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// Every call of the recording callbacks, in order.
extern std::vector<RecordedCall> recorded_calls;
// What the recording callbacks answer (after recording); unset means 0, "not handled".
extern std::function<INT_PTR(const RecordedCall&)> recorded_answer;
void recorder_reset();

INT_PTR CALLBACK record_dialog(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK record_control(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK record_menu(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The recorded calls of one source, optionally only those of one message.
std::vector<RecordedCall> calls_of(CallbackSource source, UINT message = 0);
// The message numbers recorded for a source, restricted to the given messages.
std::vector<UINT> message_order(CallbackSource source, std::vector<UINT> wanted);

// dialog_create with the caption pushed as the frame's one temporary.
HWND make_dialog(HWND parent, uint32_t style, const char* caption = "Test", int32_t x = 0,
                 int32_t y = 0, int32_t width = 120, int32_t height = 80);
// A plain child window with an identifier and a callback in its GWL_USERDATA slot.
HWND make_control(HWND dialog, const char* class_name, int id, DialogCallback callback);
// A plain top-level window of a class whose procedure counts the messages it gets.
HWND make_owner();
struct OwnerCounts {
  int enter_idle = 0;
  int cancel_mode = 0;
  int cancel_mode_while_disabled = 0;
  WPARAM idle_wparam = 0xFFFF;
  LPARAM idle_lparam = 0;
};
extern OwnerCounts owner_counts;

// A test whose recorder starts empty and whose kept windows are destroyed afterwards.
class RecordingTest : public testing::Test {
 protected:
  void SetUp() override { recorder_reset(); }
  void TearDown() override;
  HWND keep(HWND w) {
    windows_.push_back(w);
    return w;
  }
  std::vector<HWND> windows_;
};
