// Control creation on the real Windows API: what the system receives at creation (seen by a CBT
// hook), the font, the callback slot, initial items, default-button registration, the image
// kinds with and without a bitmap, and the string temporaries control_add consumes.
#include "dialogkit/toolkit/controls.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/bitmap_watch.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/string_watch.hpp"
#include "tests/win32/support/test_support.hpp"

namespace {

// What the system was asked to create, as the CBT hook sees it.
struct Creation {
  DWORD style, ex_style;
  std::string class_name;
  int x, y, cx, cy;
  HWND parent;
  INT_PTR id;
};
std::vector<Creation> creations;
HWND hooked_dialog;
bool veto_creation;

LRESULT CALLBACK cbt_hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs;
    Creation c{static_cast<DWORD>(cs->style),
               cs->dwExStyle,
               "",
               cs->x,
               cs->y,
               cs->cx,
               cs->cy,
               cs->hwndParent,
               reinterpret_cast<INT_PTR>(cs->hMenu)};
    if (!IS_INTRESOURCE(cs->lpszClass)) c.class_name = cs->lpszClass;
    // The windows control_add makes, not the inner windows a combo box makes for itself.
    if (cs->hwndParent == hooked_dialog) creations.push_back(c);
    if (veto_creation) return 1;  // the system then refuses to create the window
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

INT_PTR CALLBACK some_callback(HWND, UINT, WPARAM, LPARAM) { return 0; }

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog_ = make_dialog(nullptr, 0, "Controls", 10, 10, 200, 150);
    ASSERT_TRUE(dialog_);
    creations.clear();
    hooked_dialog = dialog_;
    veto_creation = false;
    hook_ = SetWindowsHookExA(WH_CBT, cbt_hook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook_);
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook_);
    DestroyWindow(dialog_);
    pump_messages();
  }
  // control_add with the text and the class name pushed as its two temporaries; every call must
  // leave the frame's stack empty and release both strings.
  HWND add(int32_t kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t style = 0,
           uint32_t ex_style = 0, const char* text = "", const char* class_name = "",
           const ArrayDescriptor* items = nullptr, DialogCallback callback = nullptr) {
    ProcedureFrame frame = {};
    StringWatch watch;
    temp_push_cstring(&frame, text);
    temp_push_cstring(&frame, class_name);
    DynString pushed_text = frame.temp_slots[0], pushed_class = frame.temp_slots[1];
    HWND control =
        control_add(&frame, kind, dialog_, id, items, x, y, w, h, style, ex_style, callback);
    EXPECT_EQ(frame.temp_index, 0) << "kind " << kind;
    EXPECT_EQ(watch.live(), 0) << "kind " << kind;
    EXPECT_TRUE(!pushed_text || watch.freed(pushed_text)) << "kind " << kind;
    EXPECT_TRUE(!pushed_class || watch.freed(pushed_class)) << "kind " << kind;
    return control;
  }
  // The pixel rectangle of a unit rectangle, mapped edge by edge.
  RECT mapped(int32_t x, int32_t y, int32_t w, int32_t h) {
    RECT r = {x, y, x + w, y + h};
    MapDialogRect(dialog_, &r);
    return r;
  }
  const Creation& last_creation() {
    static const Creation none{};
    return creations.empty() ? none : creations.back();
  }
  HWND dialog_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST_F(ControlsTest, EveryKindReachesTheSystemAsItsRowSays) {
  struct Case {
    int32_t kind;
    const char* text;
    int32_t w, h;  // units
    DWORD style, ex_style;
    const char* class_name;
    bool keeps_font = true;  // scroll bars and image or frame statics draw no text, keep no font
  };
  const Case cases[] = {
      {CONTROL_PUSH_BUTTON, "Push", 50, 14, 0x50010000, 0, "BUTTON"},
      {CONTROL_THREE_STATE_CHECK_BOX, "Three", 50, 10, 0x50010006, 0, "BUTTON"},
      {CONTROL_CHECK_BOX, "Check", 50, 10, 0x50010003, 0, "BUTTON"},
      {CONTROL_GROUP_FRAME, "Group", 60, 40, 0x50000007, 0, "BUTTON"},
      {CONTROL_LABEL, "Label", 40, 8, 0x50000000, 0, "STATIC"},
      {CONTROL_ETCHED_FRAME, "", 40, 20, 0x50000012, 0, "STATIC", false},
      {CONTROL_OPTION_BUTTON, "Option", 50, 10, 0x50010009, 0, "BUTTON"},
      {CONTROL_SCROLL_BAR, "", 60, 10, 0x50000000, 0, "SCROLLBAR", false},
      {CONTROL_SCROLL_BAR, "", 10, 60, 0x50000001, 0, "SCROLLBAR", false},
      {CONTROL_TEXT_BOX, "Text", 60, 12, 0x50010080, 0x200, "EDIT"},
      {CONTROL_IMAGE, "TESTBITMAP", 30, 20, 0x5000000E, 0, "STATIC", false},
      {CONTROL_SIZED_IMAGE, "TESTBITMAP", 30, 20, 0x5000000E, 0, "STATIC", false},
      {CONTROL_IMAGE_BUTTON, "TESTBITMAP", 30, 20, 0x50010080, 0, "BUTTON"},
      {CONTROL_SIZED_IMAGE_BUTTON, "TESTBITMAP", 30, 20, 0x50010080, 0, "BUTTON"},
      {CONTROL_COMBO_BOX, "", 60, 50, 0x50010102, 0, "COMBOBOX"},
      {CONTROL_LIST_BOX, "", 60, 40, 0x50210003, 0x200, "LISTBOX"},
  };
  int32_t id = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind));
    creations.clear();
    HWND control = add(c.kind, ++id, 7, 9, c.w, c.h, 0, 0, c.text, "", nullptr, some_callback);
    ASSERT_TRUE(control);
    ASSERT_EQ(creations.size(), 1u);
    const Creation& seen = creations[0];
    EXPECT_EQ(seen.style, c.style) << std::hex << seen.style;
    EXPECT_EQ(seen.ex_style, c.ex_style) << std::hex << seen.ex_style;
    EXPECT_STRCASEEQ(base_class_name(seen.class_name).c_str(), c.class_name);
    RECT px = mapped(7, 9, c.w, c.h);
    EXPECT_EQ(seen.x, px.left);
    EXPECT_EQ(seen.y, px.top);
    EXPECT_EQ(seen.cx, px.right - px.left);
    EXPECT_EQ(seen.cy, px.bottom - px.top);
    EXPECT_EQ(seen.parent, dialog_);
    EXPECT_EQ(seen.id, id);
    EXPECT_EQ(GetDlgItem(dialog_, id), control);
    if (c.keeps_font) {
      EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), dialog_font());
    }
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(some_callback));
  }
  EXPECT_TRUE(dialog_font());
}

// The forms that take the text as a C string make what the forms on the temporaries make, kind
// for kind, style for style, and allocate no string at all. control_add with a kind known only
// at run time takes the form with image support, so both forms are called by name as well.
TEST_F(ControlsTest, CStringFormsMakeWhatTheFrameFormsMake) {
  struct Case {
    int32_t kind;
    const char* text;
    uint32_t style, ex_style;
  };
  const Case cases[] = {
      {CONTROL_PUSH_BUTTON, "Push", 0, 0},
      {CONTROL_PUSH_BUTTON, "Default", BS_DEFPUSHBUTTON, 0},
      {CONTROL_THREE_STATE_CHECK_BOX, "Three", 0, 0},
      {CONTROL_CHECK_BOX, "Check", 0, 0},
      {CONTROL_GROUP_FRAME, "Group", 0xFFFFFFFF, 0},
      {CONTROL_LABEL, "Label: déjà vu", 0, 0},
      {CONTROL_ETCHED_FRAME, "", 0, 0},
      {CONTROL_OPTION_BUTTON, "Option", 0, 0},
      {CONTROL_SCROLL_BAR, "", 0, 0},
      {CONTROL_TEXT_BOX, "Text", 0, 0},
      {CONTROL_TEXT_BOX, "Own style", 0x1044, 0x200},
      {CONTROL_IMAGE, "TESTBITMAP", 0, 0},
      {CONTROL_SIZED_IMAGE, "TESTICON", 0, 0},
      {CONTROL_IMAGE_BUTTON, "TESTBITMAP", 0, 0},
      {CONTROL_SIZED_IMAGE_BUTTON, "NOSUCHIMAGE", 0, 0},
      {CONTROL_COMBO_BOX, "", 0, 0x8},
      {CONTROL_LIST_BOX, "", 0, 0},
  };
  int32_t id = 400;
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " " + c.text);
    const bool image = c.kind >= CONTROL_IMAGE && c.kind <= CONTROL_SIZED_IMAGE_BUTTON;
    creations.clear();
    HWND by_frame = add(c.kind, ++id, 7, 9, 60, 20, c.style, c.ex_style, c.text, "", nullptr,
                        some_callback);
    StringWatch watch;
    std::string text = c.text;
    HWND by_text = control_add(dialog_, c.kind, ++id, text.c_str(), 7, 9, 60, 20, c.style,
                               c.ex_style, some_callback);
    text.assign("changed afterwards");  // read at creation, not kept
    HWND without_images = control_add_without_images(dialog_, c.kind, ++id, c.text, 7, 9, 60, 20,
                                                     c.style, c.ex_style, some_callback);
    EXPECT_TRUE(watch.allocated.empty()) << watch.allocated.size() << " strings allocated";
    ASSERT_TRUE(by_frame);
    ASSERT_TRUE(by_text);
    ASSERT_TRUE(without_images);
    ASSERT_EQ(creations.size(), 3u);
    for (size_t i = 1; i < creations.size(); ++i) {
      SCOPED_TRACE("creation " + std::to_string(i));
      const Creation &want = creations[0], &seen = creations[i];
      // Without image support an image kind keeps its row's bitmap style whatever its resource.
      if (!image || i == 1) {
        EXPECT_EQ(seen.style, want.style) << std::hex << seen.style;
      }
      EXPECT_EQ(seen.ex_style, want.ex_style);
      EXPECT_EQ(seen.class_name, want.class_name);
      EXPECT_EQ(seen.x, want.x);
      EXPECT_EQ(seen.y, want.y);
      EXPECT_EQ(seen.cx, want.cx);
      EXPECT_EQ(seen.cy, want.cy);
      EXPECT_EQ(seen.parent, dialog_);
    }
    EXPECT_EQ(creations[1].id, id - 1);
    for (HWND control : {by_text, without_images}) {
      char read[64] = {}, wanted[64] = {};
      GetWindowTextA(control, read, sizeof read);
      GetWindowTextA(by_frame, wanted, sizeof wanted);
      if (!image) {
        EXPECT_STREQ(read, wanted);
      }
      EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), SendMessageA(by_frame, WM_GETFONT, 0, 0));
      EXPECT_EQ(GetWindowLongPtrA(control, GWLP_USERDATA),
                reinterpret_cast<LONG_PTR>(some_callback));
    }
    if (image && c.kind != CONTROL_IMAGE) {
      // The image kinds that load their image do so in the form with image support only.
      UINT get = c.kind == CONTROL_SIZED_IMAGE ? STM_GETIMAGE : BM_GETIMAGE;
      bool found = FindResourceA(GetModuleHandleA(nullptr), c.text, RT_BITMAP) ||
                   FindResourceA(GetModuleHandleA(nullptr), c.text, RT_GROUP_ICON);
      WPARAM type = FindResourceA(GetModuleHandleA(nullptr), c.text, RT_BITMAP) ? IMAGE_BITMAP
                                                                                : IMAGE_ICON;
      EXPECT_EQ(SendMessageA(by_text, get, type, 0) != 0, found);
      EXPECT_EQ(SendMessageA(by_text, get, type, 0) != 0,
                SendMessageA(by_frame, get, type, 0) != 0);
      EXPECT_EQ(SendMessageA(without_images, get, IMAGE_BITMAP, 0), 0);
      EXPECT_EQ(SendMessageA(without_images, get, IMAGE_ICON, 0), 0);
    }
    if (c.style == BS_DEFPUSHBUTTON) {
      // Each default button registered in turn: the last made is the dialog's default.
      EXPECT_EQ(SendMessageA(dialog_, DM_GETDEFID, 0, 0), MAKELRESULT(id, DC_HASDEFID));
    }
  }
}

// The C string forms take initial items as the forms on the temporaries do; a class of one's own
// (kind 0) needs a class name, which they do not carry: they create nothing. Neither do kinds
// outside the table.
TEST_F(ControlsTest, CStringFormsItemsAndKindsWithoutARow) {
  DynString fruit[2] = {};
  char* bytes;
  ASSERT_EQ(string_alloc(4, &fruit[0], &bytes), ERR_NONE);
  memcpy(bytes, "pear", 4);
  ASSERT_EQ(string_alloc(5, &fruit[1], &bytes), ERR_NONE);
  memcpy(bytes, "apple", 5);
  ArrayDescriptor items = {fruit, ARRAY_FLAG_ITEMS, 2};
  HWND list = control_add(dialog_, CONTROL_LIST_BOX, 500, "", 1, 1, 60, 40, 0, 0, nullptr, &items);
  HWND combo = control_add_without_images(dialog_, CONTROL_COMBO_BOX, 501, "", 1, 50, 60, 40, 0, 0,
                                          nullptr, &items);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
  for (DynString s : fruit) string_free(s);

  creations.clear();
  for (int32_t kind : {int32_t{CONTROL_CUSTOM_CLASS}, 16, -1}) {
    EXPECT_EQ(control_add_any_kind(dialog_, kind, 502, "EDIT", 1, 1, 40, 12, WS_CHILD), nullptr)
        << kind;
    EXPECT_EQ(control_add_without_images(dialog_, kind, 502, "EDIT", 1, 1, 40, 12, WS_CHILD),
              nullptr)
        << kind;
  }
  EXPECT_TRUE(creations.empty());
  EXPECT_EQ(GetDlgItem(dialog_, 502), nullptr);
}

TEST_F(ControlsTest, SizeIsTheDifferenceOfTheMappedEdges) {
  // Find a position where mapping the width alone would round differently from the edges.
  int32_t x = 0;
  RECT alone = {0, 0, 1, 1};
  MapDialogRect(dialog_, &alone);
  for (int32_t i = 1; i < 8; ++i) {
    RECT e = mapped(i, i, 1, 1);
    if (e.right - e.left != alone.right) x = i;
  }
  ASSERT_NE(x, 0) << "every edge rounds like the width on this dialog";
  add(CONTROL_LABEL, 1, x, x, 1, 1);
  RECT e = mapped(x, x, 1, 1);
  EXPECT_EQ(last_creation().cx, e.right - e.left);
  EXPECT_EQ(last_creation().cy, e.bottom - e.top);
}

TEST_F(ControlsTest, EmptyControlAtTheOrigin) {
  ASSERT_TRUE(add(CONTROL_LABEL, 1, 0, 0, 0, 0, 0, 0, "x"));
  const Creation& c = last_creation();
  EXPECT_EQ(c.x, 0);
  EXPECT_EQ(c.y, 0);
  EXPECT_EQ(c.cx, 0);
  EXPECT_EQ(c.cy, 0);
}

TEST_F(ControlsTest, CallersStylesAndCustomClass) {
  struct Case {
    int32_t kind;
    uint32_t style, ex_style;
    const char* class_name;
    DWORD expected_style, expected_ex_style;
    const char* expected_class;
  };
  const Case cases[] = {
      {CONTROL_PUSH_BUTTON, BS_DEFPUSHBUTTON, 0, "", 0x50000001, 0, "BUTTON"},
      {CONTROL_TEXT_BOX, 0x1044, 0x200, "", 0x50001044, 0x200, "EDIT"},
      {CONTROL_GROUP_FRAME, 0xFFFFFFFF, 0, "", 0x50000007, 0, "BUTTON"},
      {CONTROL_COMBO_BOX, 0, 0x8, "", 0x50010102, 0x8, "COMBOBOX"},
      // The class name counts only for kind 0, whose style words are used exactly.
      {CONTROL_LABEL, 0, 0, "EDIT", 0x50000000, 0, "STATIC"},
      {CONTROL_CUSTOM_CLASS, 0x40000080, 0x20, "EDIT", 0x40000080, 0x20, "EDIT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind));
    creations.clear();
    EXPECT_TRUE(add(c.kind, 50 + c.kind, 1, 1, 40, 12, c.style, c.ex_style, "t", c.class_name));
    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].style, c.expected_style) << std::hex << creations[0].style;
    EXPECT_EQ(creations[0].ex_style, c.expected_ex_style);
    EXPECT_STRCASEEQ(base_class_name(creations[0].class_name).c_str(), c.expected_class);
  }
}

TEST_F(ControlsTest, KindsOutsideTheTableCreateNothing) {
  for (int32_t kind : {16, -1, 1000}) {
    creations.clear();
    EXPECT_EQ(add(kind, 7, 1, 1, 40, 12, 0, 0, "text", "BUTTON"), nullptr) << kind;
    EXPECT_TRUE(creations.empty()) << kind;
  }
  EXPECT_EQ(GetDlgItem(dialog_, 7), nullptr);
  // A custom class the system does not know is refused.
  EXPECT_EQ(add(CONTROL_CUSTOM_CLASS, 8, 1, 1, 40, 12, WS_CHILD, 0, "text", "NoSuchClassHere"),
            nullptr);
}

TEST_F(ControlsTest, DefaultButtonRegistration) {
  auto default_id = [&] { return SendMessageA(dialog_, DM_GETDEFID, 0, 0); };
  LRESULT before = default_id();
  add(CONTROL_PUSH_BUTTON, 21, 1, 1, 40, 14, 0, 0, "plain");
  EXPECT_EQ(default_id(), before);
  // A check box's type bits also hold bit 0, but only push-button kinds register.
  add(CONTROL_CHECK_BOX, 22, 1, 20, 40, 10, 0x50000003, 0, "check");
  EXPECT_EQ(default_id(), before);
  add(CONTROL_PUSH_BUTTON, 23, 1, 40, 40, 14, BS_DEFPUSHBUTTON, 0, "default");
  EXPECT_EQ(default_id(), MAKELRESULT(23, DC_HASDEFID));
  add(CONTROL_IMAGE_BUTTON, 24, 50, 40, 40, 14, 0x50010081, 0, "TESTBITMAP");
  EXPECT_EQ(default_id(), MAKELRESULT(24, DC_HASDEFID));
  add(CONTROL_SIZED_IMAGE_BUTTON, 25, 50, 60, 40, 14, 0x50010081, 0, "TESTICON");
  EXPECT_EQ(default_id(), MAKELRESULT(25, DC_HASDEFID));
  // A default button the system refuses to create is not registered.
  veto_creation = true;
  EXPECT_EQ(add(CONTROL_PUSH_BUTTON, 26, 1, 60, 40, 14, BS_DEFPUSHBUTTON, 0, "vetoed"), nullptr);
  veto_creation = false;
  EXPECT_EQ(default_id(), MAKELRESULT(25, DC_HASDEFID));
}

// Initial items, for the two box kinds.
class ControlItemsTest : public ControlsTest {
 protected:
  void TearDown() override {
    for (DynString s : made_) string_free(s);
    ControlsTest::TearDown();
  }
  DynString make(const char* text) {
    DynString s;
    char* bytes;
    string_alloc(static_cast<int32_t>(strlen(text)), &s, &bytes);
    memcpy(bytes, text, strlen(text));
    made_.push_back(s);
    return s;
  }
  std::vector<std::string> items_of(HWND box, bool combo) {
    std::vector<std::string> out;
    LRESULT n = SendMessageA(box, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      char buffer[64] = {};
      SendMessageA(box, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
      out.push_back(buffer);
    }
    return out;
  }
  std::vector<DynString> made_;
};

TEST_F(ControlItemsTest, ItemsAreAddedUpToTheFirstEmptyOne) {
  DynString list[] = {make("pear"), make("apple"), 0, make("cherry")};
  DynString gap[] = {make("one"), make(""), make("three")};
  ArrayDescriptor all = {list, ARRAY_FLAG_ITEMS, 4};
  ArrayDescriptor two = {list, 0x7, 2};
  ArrayDescriptor unflagged = {list, 0x3, 4};
  ArrayDescriptor with_gap = {gap, ARRAY_FLAG_ITEMS, 3};
  using Items = std::vector<std::string>;
  struct Case {
    int32_t kind;
    const ArrayDescriptor* items;
    Items expected;  // in the boxes' sorted order
  };
  const Case cases[] = {
      {CONTROL_LIST_BOX, &all, Items{"apple", "pear"}},
      {CONTROL_COMBO_BOX, &all, Items{"apple", "pear"}},
      {CONTROL_LIST_BOX, &two, Items{"apple", "pear"}},
      {CONTROL_LIST_BOX, &unflagged, Items{}},
      {CONTROL_COMBO_BOX, &unflagged, Items{}},
      {CONTROL_LIST_BOX, &with_gap, Items{"one"}},
      {CONTROL_COMBO_BOX, &with_gap, Items{"one"}},
      {CONTROL_LIST_BOX, nullptr, Items{}},
  };
  int32_t id = 300;
  for (const Case& c : cases) {
    HWND box = add(c.kind, ++id, 1, 1, 60, 50, 0, 0, "", "", c.items);
    ASSERT_TRUE(box);
    EXPECT_EQ(items_of(box, c.kind == CONTROL_COMBO_BOX), c.expected) << "case " << id;
  }
  // The elements stay the caller's: control_add releases only its two temporaries.
  EXPECT_EQ(std::string(string_view(list[0]).data), "pear");
}

// --- Image kinds -------------------------------------------------------------------------------

TEST_F(ControlsTest, ImageKinds) {
  struct Case {
    int32_t kind;
    const char* name;
    DWORD style;       // as created
    UINT get_message;  // STM_GETIMAGE or BM_GETIMAGE
    bool bitmap;       // a bitmap, else an icon (or nothing)
    bool sized;        // a bitmap loaded at the control's pixel size, otherwise at its own
  };
  const Case cases[] = {
      {CONTROL_IMAGE, "TESTBITMAP", 0x5000000E, STM_GETIMAGE, true, false},
      {CONTROL_SIZED_IMAGE, "TESTBITMAP", 0x5000000E, STM_GETIMAGE, true, true},
      {CONTROL_IMAGE_BUTTON, "TESTBITMAP", 0x50010080, BM_GETIMAGE, true, false},
      {CONTROL_SIZED_IMAGE_BUTTON, "TESTBITMAP", 0x50010080, BM_GETIMAGE, true, true},
      // No bitmap of the name: icon controls.
      {CONTROL_IMAGE, "TESTICON", 0x50000003, STM_GETIMAGE, false, false},
      {CONTROL_SIZED_IMAGE, "TESTICON", 0x50000003, STM_GETIMAGE, false, true},
      {CONTROL_IMAGE_BUTTON, "TESTICON", 0x50010040, BM_GETIMAGE, false, false},
      {CONTROL_SIZED_IMAGE_BUTTON, "TESTICON", 0x50010040, BM_GETIMAGE, false, true},
      // Neither: icon controls without an image.
      {CONTROL_IMAGE, "NOSUCHIMAGE", 0x50000003, STM_GETIMAGE, false, false},
      {CONTROL_SIZED_IMAGE, "NOSUCHIMAGE", 0x50000003, STM_GETIMAGE, false, true},
      {CONTROL_IMAGE_BUTTON, "NOSUCHIMAGE", 0x50010040, BM_GETIMAGE, false, false},
      {CONTROL_SIZED_IMAGE_BUTTON, "NOSUCHIMAGE", 0x50010040, BM_GETIMAGE, false, true},
  };
  // Shared icons are one image per name, whatever size later loads ask for.
  HANDLE shared_icon = LoadImageA(GetModuleHandleA(nullptr), "TESTICON", IMAGE_ICON, 0, 0, 0x9000);
  ASSERT_TRUE(shared_icon);
  const int32_t w = 50, h = 30;  // units; not the bitmap's own size
  int32_t id = 400;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("kind ") + std::to_string(c.kind) + " " + c.name);
    creations.clear();
    HWND control = add(c.kind, ++id, 2, 2, w, h, 0, 0, c.name);
    ASSERT_TRUE(control);
    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].style, c.style) << std::hex << creations[0].style;
    HANDLE image = reinterpret_cast<HANDLE>(
        SendMessageA(control, c.get_message, c.bitmap ? IMAGE_BITMAP : IMAGE_ICON, 0));
    if (!c.bitmap) {
      EXPECT_EQ(image, strcmp(c.name, "TESTICON") == 0 ? shared_icon : nullptr);
      continue;
    }
    BITMAP b = {};
    ASSERT_TRUE(GetObjectA(image, sizeof b, &b));
    RECT px = mapped(2, 2, w, h);
    SIZE want = c.sized ? SIZE{px.right - px.left, px.bottom - px.top} : SIZE{40, 24};
    EXPECT_EQ(b.bmWidth, want.cx);
    EXPECT_EQ(b.bmHeight, want.cy);
  }
}

// Bitmaps are not shared images: each load makes a new GDI object. Creating an image control
// leaves behind no bitmap but the one it shows (the kind is found without loading one): a few
// hundred controls of the four image kinds, with a bitmap's name and with an icon's.
TEST_F(ControlsTest, ImageKindsKeepNoBitmapButTheOneShown) {
  struct Case {
    int32_t kind;
    UINT get_message;
  };
  const Case cases[] = {{CONTROL_IMAGE, STM_GETIMAGE},
                        {CONTROL_SIZED_IMAGE, STM_GETIMAGE},
                        {CONTROL_IMAGE_BUTTON, BM_GETIMAGE},
                        {CONTROL_SIZED_IMAGE_BUTTON, BM_GETIMAGE}};
  BitmapWatch watch;
  int loaded = 0, left_behind = 0;
  for (int round = 0; round < 40; ++round) {
    for (const Case& c : cases) {
      for (const char* name : {"TESTBITMAP", "TESTICON"}) {
        watch.loaded.clear();
        HWND control = add(c.kind, 600, 2, 2, 30, 20, 0, 0, name);
        ASSERT_TRUE(control);
        HANDLE shown =
            reinterpret_cast<HANDLE>(SendMessageA(control, c.get_message, IMAGE_BITMAP, 0));
        for (HANDLE bitmap : watch.loaded) {
          ++loaded;
          if (bitmap != shown && gdi_object_alive(bitmap)) ++left_behind;
        }
        DestroyWindow(control);
        // A control does not delete its bitmap: the rounds would pile them up.
        if (shown && GetObjectType(shown) == OBJ_BITMAP) DeleteObject(shown);
      }
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_EQ(left_behind, 0) << "of " << loaded << " bitmaps loaded";
}

TEST_F(ControlsTest, ControlLoadImageTriesTheBitmapFirst) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HANDLE shared_icon = LoadImageA(instance, "TESTICON", IMAGE_ICON, 0, 0, 0x9000);
  HWND button = add(CONTROL_IMAGE_BUTTON, 500, 1, 1, 40, 20, 0, 0, "TESTICON");
  ASSERT_EQ(reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)),
            shared_icon);
  // A name with a bitmap goes as a bitmap. The system's icon button refuses it (result 0, image
  // kept). A button of version 6 holds one image of either type whatever its style: it takes the
  // bitmap and hands back the icon, which is shared and must outlive the exchange.
  LRESULT previous = control_load_image(button, "TESTBITMAP", BM_SETIMAGE, 0, 0);
  if (!version6_button(button)) {
    EXPECT_EQ(previous, 0);
  } else {
    EXPECT_EQ(reinterpret_cast<HANDLE>(previous), shared_icon);
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(static_cast<HICON>(shared_icon), &info)) << "the shared icon was deleted";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    HANDLE bitmap = reinterpret_cast<HANDLE>(
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shared_icon)));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(bitmap);
  }
  EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)),
            shared_icon);
  // A missing name still sends the (empty) icon; the result is the image the button held.
  EXPECT_EQ(reinterpret_cast<HANDLE>(control_load_image(button, "NOSUCHIMAGE", BM_SETIMAGE, 0, 0)),
            shared_icon);
  EXPECT_EQ(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0), 0);
  // Under its 1.x name too.
  EXPECT_EQ(reinterpret_cast<HANDLE>(load_control_image(button, "TESTICON", BM_SETIMAGE, 0, 0)),
            nullptr);
  EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)),
            shared_icon);
  // The static target: a bitmap at the asked size.
  HWND image = add(CONTROL_IMAGE, 501, 60, 1, 40, 20, 0, 0, "TESTBITMAP");
  EXPECT_TRUE(control_load_image(image, "TESTBITMAP", STM_SETIMAGE, 20, 10));
  BITMAP b = {};
  GetObjectA(reinterpret_cast<HANDLE>(SendMessageA(image, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof b,
             &b);
  EXPECT_EQ(b.bmWidth, 20);
  EXPECT_EQ(b.bmHeight, 10);
}

}  // namespace
