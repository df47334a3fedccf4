// Showing dialogs and the modal message loop, on the real Windows API. Every loop is ended by a
// timer or a posted message that the test arranges before it starts, so no test waits for a user.
#include <gtest/gtest.h>

#include <string>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/call_failures.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/test_support.hpp"
#include "toolkit/dialog_template.hpp"
#include "dialogkit/toolkit/menus.hpp"

namespace {

// A second thread that posts WM_NULL to the testing thread after a delay unless cancelled: it
// breaks a loop that would otherwise poll forever, and tells the test that it had to.
struct Watchdog {
  DWORD target = GetCurrentThreadId();
  HANDLE cancel = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  volatile LONG fired = 0;
  HANDLE thread = nullptr;
  explicit Watchdog(DWORD ms) : ms_(ms) {
    thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
  }
  ~Watchdog() {
    SetEvent(cancel);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(cancel);
    pump_messages();
  }
  static DWORD WINAPI run(void* p) {
    Watchdog* w = static_cast<Watchdog*>(p);
    if (WaitForSingleObject(w->cancel, w->ms_) == WAIT_TIMEOUT) {
      w->fired = 1;
      PostThreadMessageA(w->target, WM_NULL, 0, 0);
    }
    return 0;
  }
  DWORD ms_;
};

class DialogModalTest : public RecordingTest {
 protected:
};

// The dialog ends itself with this result when its timer fires.
constexpr UINT_PTR END_TIMER = 77;
INT_PTR end_on_timer(const RecordedCall& c) {
  if (c.message == WM_TIMER && c.wparam == END_TIMER) {
    KillTimer(c.window, END_TIMER);
    dialog_end(c.window, 5);
  }
  return 0;
}

TEST_F(DialogModalTest, InitDialogOnceBeforeBindingThenLoopUntilEnded) {
  static bool bound_at_init, visible_at_init;
  bound_at_init = visible_at_init = true;
  HWND d = keep(make_dialog(nullptr, 0));
  SetTimer(d, END_TIMER, 20, nullptr);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_INITDIALOG) {
      bound_at_init = GetWindowLongPtrA(c.window, GWLP_USERDATA) != 0;
      visible_at_init = IsWindowVisible(c.window);
      return 1;
    }
    return end_on_timer(c);
  };
  int32_t result = -1;
  dialog_show_modal(d, record_dialog, &result);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(result, 5);
  std::vector<RecordedCall> inits = calls_of(CallbackSource::Dialog, WM_INITDIALOG);
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(inits[0].window, d);
  EXPECT_EQ(inits[0].wparam, reinterpret_cast<WPARAM>(d));
  EXPECT_EQ(inits[0].lparam, 0);
  EXPECT_EQ(recorded_calls.front().message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_FALSE(bound_at_init);
  EXPECT_FALSE(visible_at_init);
  EXPECT_FALSE(calls_of(CallbackSource::Dialog, WM_DESTROY).empty());
}

TEST_F(DialogModalTest, MessagesDuringInitDialogReachOnlyControls) {
  static HWND edit;
  static size_t during_begin, during_end;
  HWND d = keep(make_dialog(nullptr, 0));
  edit = make_control(d, "EDIT", 500, record_control);
  SetTimer(d, END_TIMER, 20, nullptr);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.source == CallbackSource::Dialog && c.message == WM_INITDIALOG) {
      during_begin = recorded_calls.size();
      SetWindowTextA(edit, "filled");
      during_end = recorded_calls.size();
    }
    return c.source == CallbackSource::Dialog ? end_on_timer(c) : 0;
  };
  dialog_show_modal(d, record_dialog, nullptr);
  ASSERT_LT(during_begin, during_end);
  bool change = false;
  for (size_t i = during_begin; i < during_end; ++i) {
    const RecordedCall& c = recorded_calls[i];
    EXPECT_EQ(c.source, CallbackSource::Control) << std::hex << c.message;
    EXPECT_EQ(c.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(LOWORD(c.wparam), 500);
    EXPECT_EQ(c.window, d);
    change |= HIWORD(c.wparam) == EN_CHANGE;
  }
  EXPECT_TRUE(change);
  // Once bound, the dialog callback gets the loop's messages.
  EXPECT_FALSE(calls_of(CallbackSource::Dialog, WM_TIMER).empty());
}

// WM_QUIT does not end the loop, but it is not lost either: a program with a message loop of its
// own, around the modal one, still ends. The loop posts it again, with its exit code, when it
// returns; loops inside loops each hand it on.
TEST_F(DialogModalTest, QuitMessageDoesNotEndTheLoopAndIsPostedAgain) {
  for (bool nested : {false, true}) {
    SCOPED_TRACE(nested ? "inside a second modal loop" : "one modal loop");
    static int ticks;
    static HWND inner;
    static bool quit_after_inner;
    ticks = 0;
    quit_after_inner = false;
    HWND d = keep(make_dialog(nullptr, 0));
    inner = nested ? keep(make_dialog(d, 0)) : nullptr;
    SetTimer(inner ? inner : d, 1, 10, nullptr);
    if (inner) PostMessageA(d, WM_APP, 0, 0);
    recorded_answer = [](const RecordedCall& c) -> INT_PTR {
      if (c.message == WM_APP && inner) {
        dialog_show_modal(inner, record_dialog, nullptr);
        MSG m;
        quit_after_inner = PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
        dialog_end(c.window, 0);
      }
      if (c.message == WM_TIMER && c.wparam == 1) {
        if (++ticks == 1) PostQuitMessage(3);
        if (ticks == 4) {
          KillTimer(c.window, 1);
          dialog_end(c.window, 0);
        }
      }
      return 0;
    };
    Watchdog watchdog(10000);
    dialog_show_modal(d, record_dialog, nullptr);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_EQ(ticks, 4) << "the loop went on after WM_QUIT";
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(quit_after_inner, nested);
    MSG m = {};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted again";
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "once";
    recorded_answer = nullptr;
  }
}

TEST_F(DialogModalTest, DirectDestructionEndsLoopOwnerStaysDisabledNoResult) {
  HWND owner = keep(make_owner());
  HWND d = keep(make_dialog(owner, 0));
  PostMessageA(d, WM_APP, 0, 0);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_APP) DestroyWindow(c.window);
    return 0;
  };
  int32_t result = 77;
  dialog_show_modal(d, record_dialog, &result);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_FALSE(IsWindowEnabled(owner));
  EXPECT_EQ(result, 77);
}

// A callback that destroys its dialog on WM_CLOSE, ended through dialog_end: the owner, disabled
// by the show, is enabled again and the result stored, although the dialog is gone by then.
TEST_F(DialogModalTest, DestroyedOnWmCloseStillEnablesTheOwnerAndStoresTheResult) {
  HWND owner = keep(make_owner());
  HWND d = keep(make_dialog(owner, 0));
  PostMessageA(d, WM_APP, 0, 0);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_APP) dialog_end(c.window, 9);
    if (c.message == WM_CLOSE) DestroyWindow(c.window);
    return 0;
  };
  int32_t result = 77;
  Watchdog watchdog(10000);
  dialog_show_modal(d, record_dialog, &result);
  EXPECT_FALSE(watchdog.fired);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(result, 9);
  EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_DESTROY).size(), 1u);
}

// The show that disables the owner gives it back when its dialog ends, also when the system
// refuses the window properties: whether this show disabled the owner is not lost with them.
TEST_F(DialogModalTest, OwnerGivenBackWhenNoPropertyCanBeSet) {
  call_failures_install();
  for (bool every_later : {false, true}) {
    SCOPED_TRACE(every_later ? "every SetPropA refused" : "the first SetPropA refused");
    HWND owner = keep(make_owner());
    HWND d = keep(make_dialog(owner, 0));
    SetTimer(d, END_TIMER, 20, nullptr);
    recorded_answer = end_on_timer;
    int32_t result = 0;
    set_prop_failure = CallFailure{1, every_later};
    Watchdog watchdog(10000);
    dialog_show_modal(d, record_dialog, &result);
    set_prop_failure = CallFailure{};
    EXPECT_FALSE(watchdog.fired);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner was left disabled";
    EXPECT_EQ(result, 5);
  }
}

// The usual exit when initialisation fails: dialog_end from WM_INITDIALOG. The result address is
// bound by then, in both forms; the owner was never disabled and stays enabled.
TEST_F(DialogModalTest, EndingFromInitDialogStoresTheResult) {
  for (bool modal : {true, false}) {
    SCOPED_TRACE(modal ? "modal" : "modeless");
    recorder_reset();
    HWND owner = keep(make_owner());
    HWND d = keep(make_dialog(owner, 0));
    recorded_answer = [](const RecordedCall& c) -> INT_PTR {
      if (c.message == WM_INITDIALOG) dialog_end(c.window, -1);
      return 0;
    };
    int32_t result = 77;
    Watchdog watchdog(5000);
    if (modal)
      dialog_show_modal(d, record_dialog, &result);
    else
      dialog_show_modeless(d, record_dialog, &result);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
  }
}

// Two modal dialogs on one owner (the second shown from the first one's callback), or a modeless
// dialog of the owner ended while a modal one runs on it: the owner stays disabled until the
// dialog whose show disabled it has ended, as with the platform's own modal dialogs.
TEST_F(DialogModalTest, OwnerStaysDisabledWhileAnotherModalDialogRunsOnIt) {
  for (bool second_modal : {true, false}) {
    SCOPED_TRACE(second_modal ? "second modal dialog" : "modeless dialog");
    recorder_reset();
    static HWND owner, first, second;
    static bool modal;
    static BOOL owner_enabled_after_second;
    modal = second_modal;
    owner_enabled_after_second = TRUE;
    owner = keep(make_owner());
    first = keep(make_dialog(owner, 0));
    second = keep(make_dialog(owner, 0));
    PostMessageA(first, WM_APP, 0, 0);
    recorded_answer = [](const RecordedCall& c) -> INT_PTR {
      if (c.window == first && c.message == WM_APP) {
        if (modal) {
          SetTimer(second, END_TIMER, 20, nullptr);
          dialog_show_modal(second, record_dialog, nullptr);
        } else {
          dialog_show_modeless(second, record_dialog, nullptr);
          dialog_end(second, 0);
        }
        owner_enabled_after_second = IsWindowEnabled(owner);
        dialog_end(first, 4);
      }
      return c.window == second ? end_on_timer(c) : 0;
    };
    int32_t result = 0;
    Watchdog watchdog(10000);
    dialog_show_modal(first, record_dialog, &result);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(owner_enabled_after_second) << "the first dialog still runs";
    EXPECT_EQ(result, 4);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "given back when the first dialog ended";
  }
}

TEST_F(DialogModalTest, OwnerIsCancelledDisabledIdledAndReEnabled) {
  struct Case {
    bool owned;
    uint32_t style;
    bool idle;
  };
  // Without an owner the counting window only looks on, and the focus stays where the system
  // put it when the dialog went.
  const Case cases[] = {{true, 0, true},
                        {true, DIALOG_STYLE_DEFAULT | DS_NOIDLEMSG, false},
                        {false, 0, false}};
  for (Case c : cases) {
    recorder_reset();
    // Disabling a window may send it a WM_CANCELMODE of its own: count those first.
    HWND plain = keep(make_owner());
    EnableWindow(plain, FALSE);
    int cancels_from_disabling = owner_counts.cancel_mode;
    owner_counts = OwnerCounts{};
    static HWND owner, focus_after_ending;
    static BOOL owner_enabled_in_loop;
    static bool wants_idle;
    static int ticks;
    wants_idle = c.idle;
    ticks = 0;
    owner = keep(make_owner());
    SetFocus(owner);
    owner_enabled_in_loop = !c.owned;
    focus_after_ending = nullptr;
    HWND d = keep(make_dialog(c.owned ? owner : nullptr, c.style));
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(d, GWLP_HWNDPARENT)),
              c.owned ? owner : nullptr);
    SetTimer(d, END_TIMER, 40, nullptr);
    recorded_answer = [](const RecordedCall& r) -> INT_PTR {
      if (r.message != WM_TIMER) return 0;
      // The owner idles only when the queue is empty, which on a slow machine (an emulated one)
      // it may not yet have been when the timer first fires: where an idle message is due, the
      // ending waits for it, for two seconds at most.
      if (wants_idle && owner_counts.enter_idle == 0 && ++ticks < 50) return 0;
      owner_enabled_in_loop = IsWindowEnabled(owner);
      end_on_timer(r);
      focus_after_ending = GetFocus();
      return 0;
    };
    int32_t result = 0;
    dialog_show_modal(d, record_dialog, &result);
    EXPECT_EQ(result, 5);
    EXPECT_EQ(owner_counts.cancel_mode, c.owned ? cancels_from_disabling + 1 : 0);
    EXPECT_EQ(owner_counts.cancel_mode_while_disabled, 0) << "cancelled before it is disabled";
    EXPECT_EQ(owner_enabled_in_loop, !c.owned);
    EXPECT_TRUE(IsWindowEnabled(owner));
    if (c.idle) {
      EXPECT_GT(owner_counts.enter_idle, 0);
      EXPECT_EQ(owner_counts.idle_wparam, static_cast<WPARAM>(MSGF_DIALOGBOX));
      EXPECT_EQ(owner_counts.idle_lparam, reinterpret_cast<LPARAM>(d));
    } else {
      EXPECT_EQ(owner_counts.enter_idle, 0);
    }
    EXPECT_TRUE(focus_after_ending);
    EXPECT_EQ(GetFocus(), c.owned ? owner : focus_after_ending);
  }
}

TEST_F(DialogModalTest, NestedModalDialogReturnsToTheOuterLoop) {
  static HWND outer, inner;
  static int32_t inner_result;
  static bool inner_returned, outer_enabled_after_inner;
  static int ticks;
  inner_result = -1;
  inner_returned = outer_enabled_after_inner = false;
  ticks = 0;
  outer = keep(make_dialog(nullptr, 0));
  inner = keep(make_dialog(outer, 0));
  PostMessageA(outer, WM_APP, 0, 0);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.window == outer && c.message == WM_APP) {
      SetTimer(inner, END_TIMER, 30, nullptr);
      dialog_show_modal(inner, record_dialog, &inner_result);
      inner_returned = true;
      outer_enabled_after_inner = IsWindowEnabled(outer);
      PostMessageA(outer, WM_APP + 1, 0, 0);
    }
    if (c.window == outer && c.message == WM_APP + 1) dialog_end(outer, 8);
    if (c.window != inner || c.message != WM_TIMER) return 0;
    // The outer dialog idles through its callback only when the inner loop finds the queue
    // empty: the inner dialog ends at the first tick after that (1.5 s at most), so that a
    // slow machine, still painting when the timer first fires, sees it too.
    bool idled = false;
    for (const RecordedCall& r : recorded_calls)
      idled |= r.window == outer && r.message == WM_ENTERIDLE && r.lparam == reinterpret_cast<LPARAM>(inner);
    if (!idled && ++ticks < 50) return 0;
    return end_on_timer(c);
  };
  int32_t outer_result = -1;
  dialog_show_modal(outer, record_dialog, &outer_result);
  EXPECT_TRUE(inner_returned);
  EXPECT_EQ(inner_result, 5);
  EXPECT_TRUE(outer_enabled_after_inner);
  EXPECT_EQ(outer_result, 8);
  EXPECT_FALSE(IsWindow(inner));
  EXPECT_FALSE(IsWindow(outer));
  // The outer dialog, as the inner one's owner, was cancelled and idled through its callback.
  bool cancel = false, idle = false;
  for (const RecordedCall& c : recorded_calls) {
    if (c.window != outer) continue;
    cancel |= c.message == WM_CANCELMODE;
    idle |= c.message == WM_ENTERIDLE && c.lparam == reinterpret_cast<LPARAM>(inner);
  }
  EXPECT_TRUE(cancel);
  EXPECT_TRUE(idle);
}

// A key pressed and released on a window, as the system's input would queue it.
void post_key(HWND window, WPARAM key) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(window, WM_KEYDOWN, key, scan | 1);
  PostMessageA(window, WM_KEYUP, key, scan | 1 | 0xC0000000);
}

std::string text_of(HWND window) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND tab_stop_edit(HWND dialog, int id, DWORD style) {
  return CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | style, 5,
                         5 + 25 * (id % 10), 80, 20, dialog,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// Keys are offered to the shown dialog first (Tab moves its focus, characters reach its text
// box); keys for another dialog's text box are translated and dispatched to that box, and leave
// the shown dialog's focus alone.
TEST_F(DialogModalTest, KeysGoThroughTheShownDialogThenAreTranslatedAndDispatched) {
  static HWND first, second, foreign;
  static HWND focus_after_tab, focus_at_end;
  static std::string typed;
  focus_after_tab = focus_at_end = nullptr;
  typed.clear();
  HWND other = keep(make_dialog(nullptr, 0, "Other"));
  foreign = tab_stop_edit(other, 520, ES_MULTILINE | ES_WANTRETURN);
  tab_stop_edit(other, 521, 0);
  dialog_show_modeless(other, nullptr, nullptr);
  HWND d = keep(make_dialog(nullptr, 0, "Shown"));
  first = tab_stop_edit(d, 510, 0);
  second = tab_stop_edit(d, 511, 0);
  PostMessageA(d, WM_APP, 0, 0);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_APP) {
      SetFocus(first);
      post_key(first, VK_TAB);
      PostMessageA(c.window, WM_APP + 1, 0, 0);
    } else if (c.message == WM_APP + 1) {
      focus_after_tab = GetFocus();
      post_key(focus_after_tab, 'B');
      post_key(foreign, 'A');
      post_key(foreign, VK_TAB);
      // The characters that translating these keys makes are queued behind this message.
      PostMessageA(c.window, WM_APP + 2, 0, 0);
    } else if (c.message == WM_APP + 2) {
      PostMessageA(c.window, WM_APP + 3, 0, 0);
    } else if (c.message == WM_APP + 3) {
      focus_at_end = GetFocus();
      typed = text_of(second);
      dialog_end(c.window, 0);
    }
    return 0;
  };
  Watchdog watchdog(10000);
  dialog_show_modal(d, record_dialog, nullptr);
  EXPECT_FALSE(watchdog.fired);
  ASSERT_FALSE(IsWindow(d));
  EXPECT_EQ(focus_after_tab, second) << "Tab moves to the next control";
  EXPECT_EQ(typed, "b");
  EXPECT_EQ(text_of(foreign), "a\t") << "translated and dispatched to the other dialog's box";
  EXPECT_EQ(focus_at_end, second) << "keys for the other dialog leave the focus where it was";
}

// Whether the window is maximised, by its state and by its size: a window whose WS_MAXIMIZE bit
// was set after creation reports IsZoomed but keeps its size unless shown maximised.
bool maximised(HWND window) {
  RECT work, r;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &r);
  return IsZoomed(window) && r.right - r.left >= work.right - work.left &&
         r.bottom - r.top >= work.bottom - work.top;
}

TEST_F(DialogModalTest, MaximiseStyleShowsMaximised) {
  struct Case {
    uint32_t style;
    bool style_bit_after_creation;
    bool maximised;
  };
  const Case cases[] = {{WS_OVERLAPPEDWINDOW, false, false},
                        {WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, false, true},
                        {WS_OVERLAPPEDWINDOW, true, true},
                        {0, false, false}};
  for (Case c : cases) {
    static bool zoomed, visible;
    zoomed = visible = false;
    HWND d = keep(make_dialog(nullptr, c.style));
    if (c.style_bit_after_creation)
      SetWindowLongA(d, GWL_STYLE, GetWindowLongA(d, GWL_STYLE) | WS_MAXIMIZE);
    SetTimer(d, END_TIMER, 20, nullptr);
    recorded_answer = [](const RecordedCall& r) -> INT_PTR {
      if (r.message == WM_TIMER) {
        zoomed = maximised(r.window);
        visible = IsWindowVisible(r.window);
      }
      return end_on_timer(r);
    };
    dialog_show_modal(d, record_dialog, nullptr);
    EXPECT_TRUE(visible) << std::hex << c.style;
    EXPECT_EQ(zoomed, c.maximised) << std::hex << c.style << " " << c.style_bit_after_creation;
  }
}

TEST_F(DialogModalTest, ModelessShowBindsAndShowsWithoutTouchingTheOwner) {
  HWND owner = keep(make_owner());
  HWND d = keep(make_dialog(owner, WS_POPUP | WS_CAPTION));
  SetWindowLongA(d, GWL_STYLE, GetWindowLongA(d, GWL_STYLE) | WS_MAXIMIZE);
  int32_t result = -1;
  dialog_show_modeless(d, record_dialog, &result);
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_TRUE(maximised(d));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(owner_counts.cancel_mode, 0);
  EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_INITDIALOG).size(), 1u);
  EXPECT_EQ(GetWindowLongPtrA(d, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(record_dialog));
  EXPECT_EQ(GetWindowLongPtrA(d, DIALOG_SLOT_RESULT), reinterpret_cast<LONG_PTR>(&result));
}

// What a callback that lays its dialog out on WM_SIZE gets when the dialog is first shown, as the
// guide tells it: an overlapped dialog (no WS_POPUP in its style) gets one WM_SIZE with its client
// size after WM_INITDIALOG, once the callback is bound (SIZE_MAXIMIZED when it is shown
// maximised); a popup dialog, the default style among them, gets none, maximised or not. Modal
// and modeless alike.
TEST_F(DialogModalTest, FirstShowSendsSizeOnlyToOverlappedDialogs) {
  struct Case {
    uint32_t style;
    bool sized;
    WPARAM kind;  // SIZE_RESTORED or SIZE_MAXIMIZED
  };
  const Case cases[] = {
      {WS_OVERLAPPEDWINDOW, true, SIZE_RESTORED},
      {WS_CAPTION | WS_SYSMENU, true, SIZE_RESTORED},
      {WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, true, SIZE_MAXIMIZED},
      {0, false, 0},  // WS_POPUP | WS_CAPTION | DS_MODALFRAME
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, false, 0},
      {WS_POPUP | WS_OVERLAPPEDWINDOW, false, 0},
      // Created maximised already: the show changes no size.
      {WS_POPUP | WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, false, 0},
  };
  for (const Case& c : cases) {
    for (bool modal : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << std::hex << "style " << c.style << (modal ? ", modal" : ", modeless"));
      recorder_reset();
      static RECT client_at_size;
      recorded_answer = [](const RecordedCall& r) -> INT_PTR {
        if (r.message == WM_SIZE) GetClientRect(r.window, &client_at_size);
        return end_on_timer(r);
      };
      HWND d = keep(make_dialog(nullptr, c.style, "First size", -1, -1, 160, 64));
      if (modal) {
        SetTimer(d, END_TIMER, 50, nullptr);
        dialog_show_modal(d, record_dialog, nullptr);
      } else {
        dialog_show_modeless(d, record_dialog, nullptr);
        pump_messages();
      }
      std::vector<RecordedCall> sizes = calls_of(CallbackSource::Dialog, WM_SIZE);
      if (!c.sized) {
        EXPECT_TRUE(sizes.empty()) << sizes.size() << " WM_SIZE";
        continue;
      }
      ASSERT_EQ(sizes.size(), 1u);
      EXPECT_EQ(sizes[0].wparam, c.kind);
      EXPECT_EQ(LOWORD(sizes[0].lparam), client_at_size.right);
      EXPECT_EQ(HIWORD(sizes[0].lparam), client_at_size.bottom);
      EXPECT_EQ(message_order(CallbackSource::Dialog, {WM_INITDIALOG, WM_SIZE}),
                (std::vector<UINT>{WM_INITDIALOG, WM_SIZE}));
    }
  }
}

// A menu bar takes its room from the client area: attached after dialog_create, it makes the
// client area shorter by the bar's height and the dialog gets a WM_SIZE for it. Before the show
// no callback is bound, so only the changed client size tells, already at WM_INITDIALOG; after
// the show the callback gets the WM_SIZE.
TEST_F(DialogModalTest, MenuBarAttachedAfterCreationShrinksTheClientArea) {
  for (bool shown_first : {false, true}) {
    SCOPED_TRACE(shown_first ? "attached after the show" : "attached before the show");
    recorder_reset();
    static RECT client_at_init;
    recorded_answer = [](const RecordedCall& r) -> INT_PTR {
      if (r.message == WM_INITDIALOG) GetClientRect(r.window, &client_at_init);
      return 0;
    };
    HWND d = keep(make_dialog(nullptr, 0, "Menu bar", -1, -1, 160, 64));
    RECT created;
    GetClientRect(d, &created);
    HMENU bar = menu_create(0);
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, "&File");
    menu_insert_item(&frame, bar, 0, 1, 0, 300, nullptr);
    if (shown_first) dialog_show_modeless(d, record_dialog, nullptr);
    menu_attach(d, bar);
    if (!shown_first) dialog_show_modeless(d, record_dialog, nullptr);
    pump_messages();
    RECT now;
    GetClientRect(d, &now);
    EXPECT_EQ(now.right, created.right);
    EXPECT_EQ(created.bottom - now.bottom, GetSystemMetrics(SM_CYMENU));
    std::vector<RecordedCall> sizes = calls_of(CallbackSource::Dialog, WM_SIZE);
    if (shown_first) {
      ASSERT_EQ(sizes.size(), 1u);
      EXPECT_EQ(sizes[0].lparam, MAKELPARAM(now.right, now.bottom));
    } else {
      EXPECT_TRUE(sizes.empty());
      EXPECT_EQ(client_at_init.bottom, now.bottom);
    }
  }
}

TEST_F(DialogModalTest, NoDialogReturnsAtOnce) {
  HWND gone = make_dialog(nullptr, 0);
  DestroyWindow(gone);
  for (HWND d : {static_cast<HWND>(nullptr), gone}) {
    recorder_reset();
    Watchdog watchdog(1000);
    int32_t result = 77;
    dialog_show_modal(d, record_dialog, &result);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_TRUE(recorded_calls.empty());
    EXPECT_EQ(result, 77);
  }
}

// The modeless form, too, returns at once without a dialog: no WM_INITDIALOG (whose resources
// would never see a WM_DESTROY), no result.
TEST_F(DialogModalTest, ModelessShowOfNoDialogCallsNothing) {
  HWND gone = make_dialog(nullptr, 0);
  DestroyWindow(gone);
  for (HWND d : {static_cast<HWND>(nullptr), gone}) {
    recorder_reset();
    int32_t result = 77;
    dialog_show_modeless(d, record_dialog, &result);
    EXPECT_TRUE(recorded_calls.empty());
    EXPECT_EQ(result, 77);
  }
}

// Another thread closes the dialog with a sent message while the loop's queue is empty.
DWORD WINAPI close_from_thread(void* dialog) {
  Sleep(50);
  SendMessageA(static_cast<HWND>(dialog), WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

TEST_F(DialogModalTest, DialogClosedBySentMessageEndsTheIdleLoop) {
  HWND d = keep(make_dialog(nullptr, 0));
  Watchdog watchdog(2000);
  HANDLE thread = CreateThread(nullptr, 0, close_from_thread, d, 0, nullptr);
  int32_t result = 77;
  dialog_show_modal(d, record_dialog, &result);
  EXPECT_FALSE(watchdog.fired);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(result, 0);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
}

}  // namespace
