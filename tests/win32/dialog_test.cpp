// Dialog creation, the shared dialog procedure's dispatch and dialog_end, on the real Windows API.
#include <gtest/gtest.h>

#include <string>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/call_failures.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/controls.hpp"

namespace {

class DialogTest : public RecordingTest {
 protected:
  // A dialog bound to the recording callback, shown modelessly.
  HWND bound_dialog(HWND parent = nullptr, int32_t* result = nullptr, uint32_t style = 0) {
    HWND d = keep(make_dialog(parent, style));
    dialog_show_modeless(d, record_dialog, result);
    recorded_calls.clear();
    return d;
  }
};

// --- Creation ----------------------------------------------------------------------------------

TEST_F(DialogTest, CreatedHiddenWhateverTheStyle) {
  const uint32_t styles[] = {0, 0x00CF0800, 0x10CF0800, 0x90C800C0, WS_VISIBLE};
  for (uint32_t style : styles) {
    HWND d = keep(make_dialog(nullptr, style, "Hello"));
    ASSERT_TRUE(IsWindow(d)) << std::hex << style;
    EXPECT_FALSE(IsWindowVisible(d)) << std::hex << style;
    EXPECT_EQ(GetWindowLongA(d, GWL_STYLE) & WS_VISIBLE, 0) << std::hex << style;
    char title[32] = {};
    GetWindowTextA(d, title, sizeof title);
    EXPECT_STREQ(title, "Hello");
    EXPECT_EQ(GetWindowLongPtrA(d, GWLP_USERDATA), 0);  // no callback until shown
  }
}

TEST_F(DialogTest, StyleRulesReachTheWindow) {
  // A caller style without WS_POPUP gives an overlapped dialog; the default is a popup.
  HWND overlapped = keep(make_dialog(nullptr, 0x00CF0800));
  EXPECT_EQ(GetWindowLongA(overlapped, GWL_STYLE) & (WS_POPUP | WS_CHILD), 0);
  EXPECT_EQ(GetWindowLongA(overlapped, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  HWND popup = keep(make_dialog(nullptr, 0));
  EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP | WS_CAPTION);
  // DS_SYSMODAL is always removed: the dialog is not made topmost.
  HWND sysmodal = keep(make_dialog(nullptr, WS_POPUP | WS_CAPTION | DS_SYSMODAL));
  EXPECT_EQ(GetWindowLongA(sysmodal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(DialogTest, MinusOneCentresTheDialog) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (POINT xy : {POINT{-1, 5}, POINT{5, -1}}) {
    HWND d = keep(make_dialog(nullptr, 0, "Centred", xy.x, xy.y, 100, 60));
    RECT r;
    GetWindowRect(d, &r);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 2);
  }
}

// The template widens the caption byte by byte (its bytes are the host tests'); a caption with a
// byte above 0x7F is then set again through the code page, so "café" shows as "café" in the
// program's code page: its UTF-8 under the default manifest, 0xE9 for é in the ANSI page of a
// Western European machine (text_test goes through the other scripts).
TEST_F(DialogTest, CaptionIsConsumedAndShownAsItsCodePageReadsIt) {
  char e_acute[8] = {};
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, e_acute, sizeof e_acute - 1, nullptr, nullptr), 0);
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, (std::string("caf") + e_acute).c_str());
  HWND d = keep(dialog_create(&frame, nullptr, 0, 0, 50, 50, 0, 0));
  EXPECT_EQ(temp_count(&frame), 0);
  wchar_t title[16] = {};
  GetWindowTextW(d, title, 16);
  EXPECT_EQ(std::wstring(title), std::wstring(L"caf\u00E9"));

  std::string long_caption(300, 'x');
  HWND l = keep(make_dialog(nullptr, 0, long_caption.c_str()));
  EXPECT_EQ(GetWindowTextLengthA(l), 256);

  HWND empty = keep(make_dialog(nullptr, 0, ""));
  char text[8] = {};
  GetWindowTextA(empty, text, sizeof text);
  EXPECT_STREQ(text, " ");
}

// The form with the caption as a C string: the same dialog as the form on the temporaries, with
// the caller's caption read and left as it was, also where the title is cut.
TEST_F(DialogTest, CStringFormMakesTheSameDialog) {
  char e_acute[8] = {};
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, e_acute, sizeof e_acute - 1, nullptr, nullptr), 0);
  const std::string cafe = std::string("caf") + e_acute;
  // 255 ASCII bytes, then "é": the title's 256 bytes end inside the character in UTF-8.
  const std::string cut_inside = std::string(255, 'x') + e_acute + "tail";
  struct Case {
    const char* caption;
    uint32_t style;
    int32_t x, y;
  };
  const Case cases[] = {
      {"Hello", 0, 10, 20},
      {cafe.c_str(), 0x00CF0800, -1, -1},
      {cut_inside.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 5, -1},
      {"", 0, 0, 0},
      {nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption ? std::string(c.caption).substr(0, 20) : std::string("null"));
    HWND by_frame = keep(make_dialog(nullptr, c.style, c.caption ? c.caption : "", c.x, c.y, 120, 80));
    const std::string before = c.caption ? c.caption : "";
    HWND by_text = keep(dialog_create(nullptr, c.caption, c.x, c.y, 120, 80, c.style, WS_EX_TOOLWINDOW));
    ASSERT_TRUE(by_text);
    if (c.caption) {
      EXPECT_EQ(std::string(c.caption), before) << "the caller's caption is left alone";
    }
    EXPECT_EQ(dialog_font(), reinterpret_cast<HFONT>(SendMessageA(by_text, WM_GETFONT, 0, 0)));
    EXPECT_FALSE(IsWindowVisible(by_text));
    EXPECT_EQ(GetWindowLongA(by_text, GWL_STYLE), GetWindowLongA(by_frame, GWL_STYLE));
    EXPECT_EQ(GetWindowLongA(by_text, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW,
              GetWindowLongA(by_frame, GWL_EXSTYLE));
    EXPECT_TRUE(GetWindowLongA(by_text, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    wchar_t want[300] = {}, got[300] = {};
    GetWindowTextW(by_frame, want, 300);
    GetWindowTextW(by_text, got, 300);
    EXPECT_EQ(std::wstring(got), std::wstring(want));
    RECT a, b;
    GetClientRect(by_frame, &a);
    GetClientRect(by_text, &b);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
  }
  // A parent makes an owned dialog, as the other form does.
  HWND owner = keep(make_dialog(nullptr, 0));
  HWND owned = keep(dialog_create(owner, "Owned", 0, 0, 50, 50));
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
}

TEST_F(DialogTest, DialogFontIsTheDialogsEightPointFont) {
  HWND d = keep(make_dialog(nullptr, 0));
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(dialog_font(), font);
  LOGFONTA logfont = {};
  ASSERT_EQ(GetObjectA(font, sizeof logfont, &logfont), static_cast<int>(sizeof logfont));
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(logfont.lfHeight, -MulDiv(8, dpi, 72));
  // The face asked for; the system may draw it with a substitute.
  EXPECT_STREQ(logfont.lfFaceName, "MS Sans Serif");

  // The next dialog's font replaces it.
  HWND second = keep(make_dialog(nullptr, 0));
  HFONT newest = reinterpret_cast<HFONT>(SendMessageA(second, WM_GETFONT, 0, 0));
  EXPECT_EQ(dialog_font(), newest);
  EXPECT_NE(newest, font);
}

// A control added to an older dialog gets that dialog's own font, which then becomes the recorded
// font; also when the newest dialog has gone and the system has deleted its font with it.
TEST_F(DialogTest, ControlGetsTheFontOfItsOwnDialog) {
  for (bool newest_destroyed : {false, true}) {
    SCOPED_TRACE(newest_destroyed ? "newest dialog destroyed" : "newest dialog alive");
    HWND d = keep(make_dialog(nullptr, 0));
    HFONT own = reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0));
    HWND newest = keep(make_dialog(nullptr, 0));
    ASSERT_NE(dialog_font(), own);
    if (newest_destroyed) DestroyWindow(newest);
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, "late");
    temp_push_empty(&frame);
    HWND late = control_add(&frame, CONTROL_LABEL, d, 1, nullptr, 0, 0, 20, 8, 0, 0, nullptr);
    ASSERT_TRUE(late);
    HFONT given = reinterpret_cast<HFONT>(SendMessageA(late, WM_GETFONT, 0, 0));
    EXPECT_EQ(given, own);
    EXPECT_EQ(GetObjectType(given), static_cast<DWORD>(OBJ_FONT)) << "a live font";
    EXPECT_EQ(dialog_font(), own);
  }
}

TEST_F(DialogTest, FailedCreationReturnsZeroAndClearsTheFont) {
  HWND gone = make_dialog(nullptr, 0);
  DestroyWindow(gone);
  const HWND parents[] = {gone, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF1234))};
  for (HWND parent : parents) {
    HWND real = keep(make_dialog(nullptr, 0));
    ASSERT_NE(dialog_font(), nullptr);
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, "Never");
    HWND d = dialog_create(&frame, parent, 0, 0, 50, 50, 0, 0);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(dialog_font(), nullptr);
    EXPECT_EQ(temp_count(&frame), 0);
    EXPECT_TRUE(IsWindow(real));
  }
}

// --- Dispatch ----------------------------------------------------------------------------------

TEST_F(DialogTest, CloseRequestSeesSysCommandCloseDestroyThenEnds) {
  int32_t result = 77;
  HWND d = bound_dialog(nullptr, &result);
  // What the callback answers to the WM_CLOSE of the ending cannot stop it.
  recorded_answer = [](const RecordedCall& c) -> INT_PTR { return c.message == WM_CLOSE ? 1 : 0; };
  EXPECT_EQ(dialog_procedure(d, WM_SYSCOMMAND, SC_CLOSE, 0), 1);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(message_order(CallbackSource::Dialog, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
            (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
  EXPECT_EQ(result, 0);
  for (const RecordedCall& c : recorded_calls) EXPECT_EQ(c.window, d);
}

TEST_F(DialogTest, CallbackHandlingCloseKeepsTheDialog) {
  int32_t result = 77;
  HWND d = bound_dialog(nullptr, &result);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    return c.message == WM_SYSCOMMAND ? 9 : 0;
  };
  EXPECT_EQ(dialog_procedure(d, WM_SYSCOMMAND, SC_CLOSE, 0), 9);
  SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(d));
  EXPECT_TRUE(calls_of(CallbackSource::Dialog, WM_CLOSE).empty());
  EXPECT_EQ(result, 77);
}

// The four low bits of a system command are the system's own: a double click on the caption's
// icon, for one, sends SC_CLOSE with some of them set. Each form is a close request.
TEST_F(DialogTest, CloseRequestWithTheSystemsLowBitsEnds) {
  for (WPARAM command : {0xF060, 0xF061, 0xF063, 0xF06F}) {
    SCOPED_TRACE(testing::Message() << std::hex << command);
    int32_t result = 77;
    HWND d = bound_dialog(nullptr, &result);
    SendMessageA(d, WM_SYSCOMMAND, command, 0);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(message_order(CallbackSource::Dialog, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
  }
}

TEST_F(DialogTest, ControlCallbackComesFirstWithTheSameFourValues) {
  struct Case {
    INT_PTR control_answer;
    size_t dialog_calls;
  };
  for (Case c : {Case{0, 1}, Case{5, 0}}) {
    HWND d = bound_dialog();
    HWND button = make_control(d, "BUTTON", 300, record_control);
    recorded_calls.clear();
    INT_PTR answer = c.control_answer;
    recorded_answer = [answer](const RecordedCall& call) -> INT_PTR {
      return call.source == CallbackSource::Control ? answer : 0;
    };
    WPARAM wparam = MAKEWPARAM(300, BN_CLICKED);
    LPARAM lparam = reinterpret_cast<LPARAM>(button);
    EXPECT_EQ(dialog_procedure(d, WM_COMMAND, wparam, lparam), c.control_answer);
    std::vector<RecordedCall> commands;
    for (const RecordedCall& r : recorded_calls)
      if (r.message == WM_COMMAND) commands.push_back(r);
    ASSERT_EQ(commands.size(), 1 + c.dialog_calls);
    EXPECT_EQ(commands[0].source, CallbackSource::Control);
    for (const RecordedCall& r : commands) {
      EXPECT_EQ(r.window, d);
      EXPECT_EQ(r.wparam, wparam);
      EXPECT_EQ(r.lparam, lparam);
    }
    if (c.dialog_calls) {
      EXPECT_EQ(commands[1].source, CallbackSource::Dialog);
    }
  }
}

// A menu on the dialog with an item per command, each carrying the menu recorder.
HMENU attach_menu(HWND dialog, std::initializer_list<UINT> commands) {
  HMENU bar = CreateMenu();
  UINT position = 0;
  for (UINT command : commands) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_STRING;
    info.wID = command;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(record_menu);
    char text[] = "Item";
    info.dwTypeData = text;
    InsertMenuItemA(bar, position++, TRUE, &info);
  }
  SetMenu(dialog, bar);
  return bar;
}

TEST_F(DialogTest, MenuItemCallbackOnlyWhenNoControlHasTheIdentifier) {
  HWND d = bound_dialog(nullptr, nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU);
  make_control(d, "BUTTON", 300, record_control);
  make_control(d, "BUTTON", 301, nullptr);
  attach_menu(d, {300, 301, 400});
  ASSERT_NE(GetMenu(d), nullptr);
  struct Case {
    UINT id;
    std::vector<CallbackSource> sources;
  };
  const Case cases[] = {
      {300, {CallbackSource::Control, CallbackSource::Dialog}},  // control wins over the menu
      {301, {CallbackSource::Dialog}},                           // control without callback
      {400, {CallbackSource::Menu, CallbackSource::Dialog}},     // only a menu item has it
      {500, {CallbackSource::Dialog}},                           // nobody has it
  };
  for (const Case& c : cases) {
    recorded_calls.clear();
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
    std::vector<CallbackSource> sources;
    for (const RecordedCall& r : recorded_calls) {
      if (r.message != WM_COMMAND) continue;
      sources.push_back(r.source);
      EXPECT_EQ(r.window, d);
      EXPECT_EQ(r.wparam, MAKEWPARAM(c.id, 0));
    }
    EXPECT_EQ(sources, c.sources) << c.id;
  }
  // A menu item's non-zero answer is the procedure's result; the dialog callback is not asked.
  recorded_calls.clear();
  recorded_answer = [](const RecordedCall& r) -> INT_PTR {
    return r.source == CallbackSource::Menu ? 3 : 0;
  };
  EXPECT_EQ(dialog_procedure(d, WM_COMMAND, MAKEWPARAM(400, 0), 0), 3);
  EXPECT_TRUE(calls_of(CallbackSource::Dialog, WM_COMMAND).empty());
}

TEST_F(DialogTest, CallbacksNeverSeeActivate) {
  HWND d = bound_dialog();
  for (WPARAM state : {WA_INACTIVE, WA_ACTIVE, WA_CLICKACTIVE}) {
    EXPECT_EQ(dialog_procedure(d, WM_ACTIVATE, state, 0), 1);
    EXPECT_EQ(dialog_procedure(d, WM_ACTIVATE, MAKEWPARAM(state, 1), 0), 1);  // minimised flag
    SendMessageA(d, WM_ACTIVATE, state, 0);
  }
  SetActiveWindow(d);
  SetForegroundWindow(d);
  pump_messages();
  EXPECT_TRUE(calls_of(CallbackSource::Dialog, WM_ACTIVATE).empty());
  // Other low words are not activation states and go on to the callback.
  SendMessageA(d, WM_ACTIVATE, 3, 0);
  EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_ACTIVATE).size(), 1u);
}

TEST_F(DialogTest, EscapeAndEnterCommandButDoNotEnd) {
  HWND d = bound_dialog();
  struct Case {
    WPARAM key;
    WORD command;
  };
  for (Case c : {Case{VK_ESCAPE, IDCANCEL}, Case{VK_RETURN, IDOK}}) {
    recorded_calls.clear();
    MSG key = {d, WM_KEYDOWN, c.key, 1, static_cast<DWORD>(GetMessageTime()), {}};
    EXPECT_TRUE(IsDialogMessageA(d, &key));
    pump_messages();
    std::vector<RecordedCall> commands = calls_of(CallbackSource::Dialog, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wparam), c.command);
    EXPECT_TRUE(IsWindow(d));
  }
}

// --- dialog_end ----------------------------------------------------------------------------------

// The owner that the modal show disabled is enabled, and the result stored, before the dialog is
// destroyed.
TEST_F(DialogTest, ResultIsStoredBeforeDestructionOwnerEnabledBefore) {
  static int32_t result;
  static int32_t result_at_destroy;
  static BOOL owner_enabled_at_destroy;
  static HWND owner;
  result = 77;
  result_at_destroy = -1;
  owner_enabled_at_destroy = FALSE;
  owner = keep(make_owner());
  HWND d = keep(make_dialog(owner, 0));
  PostMessageA(d, WM_APP, 0, 0);
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_APP) dialog_end(c.window, 42);
    if (c.message == WM_DESTROY) {
      result_at_destroy = result;
      owner_enabled_at_destroy = IsWindowEnabled(owner);
    }
    if (c.message != WM_CLOSE) return 0;
    // Handled, with a non-zero message result: the ending goes on all the same.
    SetWindowLongPtrA(c.window, DWLP_MSGRESULT, 1);
    return 1;
  };
  dialog_show_modal(d, record_dialog, &result);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(result, 42);
  EXPECT_EQ(result_at_destroy, 42);
  EXPECT_TRUE(owner_enabled_at_destroy);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(message_order(CallbackSource::Dialog, {WM_CLOSE, WM_DESTROY}),
            (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
}

TEST_F(DialogTest, NoResultAddressStoresNothing) {
  int32_t result = 77;
  HWND d = keep(make_dialog(nullptr, 0));
  dialog_show_modeless(d, record_dialog, &result);
  dialog_show_modeless(d, record_dialog, nullptr);  // showing again replaces the address
  EXPECT_EQ(GetWindowLongPtrA(d, DIALOG_SLOT_RESULT), 0);
  dialog_end(d, 5);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(result, 77);
}

TEST_F(DialogTest, CallbackMayEndTheDialogFromInsideWmClose) {
  int32_t result = 77;
  HWND d = bound_dialog(nullptr, &result);
  // Ending on the first WM_CLOSE: the ending that sent it finds no dialog any more afterwards.
  static bool ended;
  ended = false;
  recorded_answer = [](const RecordedCall& c) -> INT_PTR {
    if (c.message == WM_CLOSE && !ended) {
      ended = true;
      dialog_end(c.window, 3);
    }
    return 0;
  };
  SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(result, 3);
  EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_DESTROY).size(), 1u);
}

// The platform's habit: a callback that ends its dialog on every WM_CLOSE. The ending under way
// sends no second WM_CLOSE; the inner call ends the dialog with its own result and the outer one
// stores nothing more. Both ways an ending starts: dialog_end, and the close request.
TEST_F(DialogTest, EndingFromEveryWmCloseEndsOnceWithTheInnerResult) {
  for (bool close_request : {false, true}) {
    SCOPED_TRACE(close_request ? "close request" : "dialog_end");
    int32_t result = 77;
    HWND d = bound_dialog(nullptr, &result);
    recorded_answer = [](const RecordedCall& c) -> INT_PTR {
      if (c.message == WM_CLOSE) dialog_end(c.window, 3);
      return 0;
    };
    if (close_request)
      SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
      dialog_end(d, 1);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(result, 3);
    EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_CLOSE).size(), 1u);
    EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_DESTROY).size(), 1u) << "the clean-up ran";
    recorded_answer = nullptr;
  }
}

// The same habit when the system refuses every window property (or only the first): the ending
// still sends one WM_CLOSE, the callback's ending inside it wins, and the outer call stores
// nothing over its result.
TEST_F(DialogTest, EndingFromWmCloseEndsOnceWhenNoPropertyCanBeSet) {
  call_failures_install();
  for (bool every_later : {false, true}) {
    SCOPED_TRACE(every_later ? "every SetPropA refused" : "the first SetPropA refused");
    int32_t result = 77;
    HWND d = bound_dialog(nullptr, &result);
    recorded_answer = [](const RecordedCall& c) -> INT_PTR {
      if (c.message == WM_CLOSE) dialog_end(c.window, 43);
      return 0;
    };
    set_prop_failure = CallFailure{1, every_later};
    dialog_end(d, 42);
    set_prop_failure = CallFailure{};
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(result, 43);
    EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_CLOSE).size(), 1u);
    EXPECT_EQ(calls_of(CallbackSource::Dialog, WM_DESTROY).size(), 1u);
    recorded_answer = nullptr;
  }
}

// The mark of an ending under way belongs to its own dialog: a callback that ends a second dialog
// from the first one's WM_CLOSE still sends the second its WM_CLOSE, and the second's callback may
// end it from there in turn.
TEST_F(DialogTest, EndingAnotherDialogFromWmCloseSendsItsOwnClose) {
  struct Case {
    bool second_ends_itself;
    int32_t second_result;
  };
  for (Case c : {Case{false, 6}, Case{true, 8}}) {
    SCOPED_TRACE(c.second_ends_itself ? "second ends itself" : "second only closed");
    static HWND first, second;
    static bool second_ends_itself;
    int32_t first_result = 77, second_result = 77;
    second_ends_itself = c.second_ends_itself;
    first = bound_dialog(nullptr, &first_result);
    second = bound_dialog(nullptr, &second_result);
    recorded_answer = [](const RecordedCall& r) -> INT_PTR {
      if (r.message != WM_CLOSE) return 0;
      if (r.window == first) dialog_end(second, 6);
      if (r.window == second && second_ends_itself) dialog_end(second, 8);
      return 0;
    };
    dialog_end(first, 2);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(first_result, 2);
    EXPECT_EQ(second_result, c.second_result);
    for (HWND w : {first, second}) {
      size_t closes = 0, destroys = 0;
      for (const RecordedCall& r : recorded_calls) {
        if (r.window != w) continue;
        closes += r.message == WM_CLOSE;
        destroys += r.message == WM_DESTROY;
      }
      EXPECT_EQ(closes, 1u) << (w == first ? "first" : "second");
      EXPECT_EQ(destroys, 1u) << (w == first ? "first" : "second");
    }
    recorded_answer = nullptr;
  }
}

// A dialog and its owner made and run on a second thread: DestroyWindow from this thread fails
// there, which is the only way it fails on a live window. The dialog is shown modally (its loop
// runs until the dialog is told to destroy itself) or modelessly (the thread pumps until told to
// stop).
struct ForeignDialog {
  HWND owner = nullptr;
  HWND dialog = nullptr;
  int32_t result = 77;
  bool modal = false;
  bool disable_owner = false;
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  volatile LONG stop = 0;
};
ForeignDialog* foreign;

// WM_APP: the modal loop runs; WM_APP + 1: the test is done with the dialog.
INT_PTR CALLBACK foreign_callback(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_APP) SetEvent(foreign->ready);
  if (message == WM_APP + 1) DestroyWindow(window);
  return 0;
}

DWORD WINAPI foreign_thread(void* parameter) {
  ForeignDialog* f = static_cast<ForeignDialog*>(parameter);
  f->owner = make_owner();
  f->dialog = make_dialog(f->owner, 0);
  if (f->disable_owner) EnableWindow(f->owner, FALSE);
  if (f->modal) {
    PostMessageA(f->dialog, WM_APP, 0, 0);
    dialog_show_modal(f->dialog, foreign_callback, &f->result);
  } else {
    dialog_show_modeless(f->dialog, nullptr, &f->result);
    SetEvent(f->ready);
    while (!f->stop) {
      pump_messages();
      Sleep(1);
    }
    DestroyWindow(f->dialog);
  }
  DestroyWindow(f->owner);
  return 0;
}

TEST_F(DialogTest, FailedDestructionPutsTheOwnerBack) {
  struct Case {
    bool modal;
    bool disabled_before;  // by someone else, before the show
    bool disabled_while_shown;
  };
  const Case cases[] = {
      {true, false, true},    // the show disabled it: enabled for the ending, then disabled again
      {false, true, true},    // not the show's doing: the ending leaves it disabled
      {false, false, false},  // a modeless dialog's owner stays enabled
  };
  for (Case c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "modal " << c.modal << ", disabled before " << c.disabled_before);
    ForeignDialog f;
    f.modal = c.modal;
    f.disable_owner = c.disabled_before;
    foreign = &f;
    HANDLE thread = CreateThread(nullptr, 0, foreign_thread, &f, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(f.ready, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(IsWindow(f.dialog));
    EXPECT_EQ(!IsWindowEnabled(f.owner), c.disabled_while_shown);
    dialog_end(f.dialog, 12);
    EXPECT_TRUE(IsWindow(f.dialog));
    EXPECT_EQ(f.result, 12);  // stored all the same
    EXPECT_EQ(!IsWindowEnabled(f.owner), c.disabled_while_shown) << "owner as it was";
    if (c.modal)
      PostMessageA(f.dialog, WM_APP + 1, 0, 0);
    else
      f.stop = 1;
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(f.ready);
  }
}

}  // namespace
