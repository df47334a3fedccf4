// The control kind table and style resolution, the image kinds' switch to icons, the walk over
// initial items and the cursor table.
#include "dialogkit/toolkit/control_items.hpp"
#include "dialogkit/toolkit/control_kinds.hpp"
#include "toolkit/cursors.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/os.hpp"
#include "dialogkit/runtime/strings.hpp"

namespace {

struct RowCase {
  int32_t kind;
  const char* class_name;
  uint32_t style;  // of a control made with style 0 and ex-style 0, 100 by 20 pixels
  uint32_t ex_style;
};

TEST(ControlKinds, EveryRowWithTheDefaultStyle) {
  const RowCase rows[] = {
      {CONTROL_PUSH_BUTTON, "BUTTON", 0x50010000, 0},
      {CONTROL_THREE_STATE_CHECK_BOX, "BUTTON", 0x50010006, 0},
      {CONTROL_CHECK_BOX, "BUTTON", 0x50010003, 0},
      {CONTROL_GROUP_FRAME, "BUTTON", 0x50000007, 0},
      {CONTROL_LABEL, "STATIC", 0x50000000, 0},
      {CONTROL_ETCHED_FRAME, "STATIC", 0x50000012, 0},
      {CONTROL_OPTION_BUTTON, "BUTTON", 0x50010009, 0},
      {CONTROL_SCROLL_BAR, "SCROLLBAR", 0x50000000, 0},
      {CONTROL_TEXT_BOX, "EDIT", 0x50010080, 0x200},
      {CONTROL_IMAGE, "STATIC", 0x5000000E, 0},
      {CONTROL_SIZED_IMAGE, "STATIC", 0x5000000E, 0},
      {CONTROL_IMAGE_BUTTON, "BUTTON", 0x50010080, 0},
      {CONTROL_SIZED_IMAGE_BUTTON, "BUTTON", 0x50010080, 0},
      {CONTROL_COMBO_BOX, "COMBOBOX", 0x50010102, 0},
      {CONTROL_LIST_BOX, "LISTBOX", 0x50210003, 0x200},
  };
  ASSERT_EQ(std::size(rows), static_cast<size_t>(CONTROL_KIND_LAST));  // kinds 1 to the last
  for (const RowCase& r : rows) {
    const ControlKind* row = control_kind(r.kind);
    ASSERT_NE(row, nullptr) << r.kind;
    EXPECT_STREQ(row->class_name, r.class_name) << r.kind;
    EXPECT_EQ(row->forced_style & 0x50000000u, 0x50000000u) << r.kind;  // child, visible
    ControlStyle s = control_resolve_style(r.kind, 0, 0, 100, 20);
    EXPECT_EQ(s.style, r.style) << "kind " << r.kind;
    EXPECT_EQ(s.ex_style, r.ex_style) << "kind " << r.kind;
  }
}

TEST(ControlKinds, EveryRowsStyleWords) {
  struct Words {
    int32_t kind;
    uint32_t default_style, forced_style, removed_style;
  };
  const Words rows[] = {
      {CONTROL_PUSH_BUTTON, 0x50010000, 0x50000000, 0},
      {CONTROL_THREE_STATE_CHECK_BOX, 0x50010006, 0x50000006, 0xAFFC50C9},
      {CONTROL_CHECK_BOX, 0x50010003, 0x50000003, 0xAFFC50CC},
      {CONTROL_GROUP_FRAME, 0x50000007, 0x50000007, 0xAFFFFFF8},
      {CONTROL_LABEL, 0x50000000, 0x50000000, 0},
      {CONTROL_ETCHED_FRAME, 0x50000012, 0x50000000, 0},
      {CONTROL_OPTION_BUTTON, 0x50010009, 0x50000009, 0xAFFC10C6},
      {CONTROL_SCROLL_BAR, 0x50000000, 0x50000000, 0},
      {CONTROL_TEXT_BOX, 0x50810080, 0x50000000, 0},
      {CONTROL_IMAGE, 0x5000000E, 0x5000000E, 0},
      {CONTROL_SIZED_IMAGE, 0x5000000E, 0x5000000E, 0},
      {CONTROL_IMAGE_BUTTON, 0x50010080, 0x50000080, 0},
      {CONTROL_SIZED_IMAGE_BUTTON, 0x50010080, 0x50000080, 0},
      {CONTROL_COMBO_BOX, 0x50010102, 0x50000000, 0},
      {CONTROL_LIST_BOX, 0x50A10003, 0x50000001, 0},
  };
  ASSERT_EQ(std::size(rows), static_cast<size_t>(CONTROL_KIND_LAST));
  for (const Words& r : rows) {
    const ControlKind* row = control_kind(r.kind);
    ASSERT_NE(row, nullptr) << r.kind;
    EXPECT_EQ(row->default_style, r.default_style) << "kind " << r.kind;
    EXPECT_EQ(row->forced_style, r.forced_style) << "kind " << r.kind;
    EXPECT_EQ(row->removed_style, r.removed_style) << "kind " << r.kind;
  }
}

TEST(ControlKinds, NoRowOutsideOneToFifteen) {
  for (int32_t kind : {0, 16, -1, 1000, INT32_MIN}) EXPECT_EQ(control_kind(kind), nullptr) << kind;
}

struct StyleCase {
  const char* what;
  int32_t kind;
  uint32_t style, ex_style;
  int32_t width, height;  // pixels
  uint32_t expected_style, expected_ex_style;
};

TEST(ControlKinds, StyleResolution) {
  const StyleCase cases[] = {
      {"default push button", CONTROL_PUSH_BUTTON, 0, 0, 50, 14, 0x50010000, 0},
      {"push button BS_DEFPUSHBUTTON", CONTROL_PUSH_BUTTON, 1, 0, 50, 14, 0x50000001, 0},
      {"text box own style kept", CONTROL_TEXT_BOX, 0x1044, 0x200, 80, 14, 0x50001044, 0x200},
      {"text box own border kept", CONTROL_TEXT_BOX, 0x00800000, 0, 80, 14, 0x50800000, 0},
      {"text box default ex-style added to", CONTROL_TEXT_BOX, 0, 0x8, 80, 14, 0x50010080, 0x208},
      {"list box default", CONTROL_LIST_BOX, 0, 0, 80, 80, 0x50210003, 0x200},
      {"list box own style gains LBS_NOTIFY", CONTROL_LIST_BOX, 0x2, 0, 80, 80, 0x50000003, 0},
      {"combo box default ex-style untouched", CONTROL_COMBO_BOX, 0, 0x8, 80, 80, 0x50010102, 0x8},
      {"group frame whatever the style", CONTROL_GROUP_FRAME, 0xFFFFFFFF, 0, 10, 10, 0x50000007, 0},
      {"group frame style 1", CONTROL_GROUP_FRAME, 0x00010001, 0, 10, 10, 0x50000007, 0},
      {"scroll bar tall is vertical", CONTROL_SCROLL_BAR, 0, 0, 10, 100, 0x50000001, 0},
      {"scroll bar wide is horizontal", CONTROL_SCROLL_BAR, 0, 0, 100, 10, 0x50000000, 0},
      {"scroll bar square is horizontal", CONTROL_SCROLL_BAR, 0, 0, 50, 50, 0x50000000, 0},
      {"scroll bar compared signed", CONTROL_SCROLL_BAR, 0, 0, -5, 3, 0x50000001, 0},
      {"scroll bar own style not adjusted", CONTROL_SCROLL_BAR, 0x8, 0, 10, 100, 0x50000008, 0},
      {"check box loses BS_NOTIFY", CONTROL_CHECK_BOX, 0x4000, 0, 50, 10, 0x50000003, 0},
      {"three-state loses BS_NOTIFY", CONTROL_THREE_STATE_CHECK_BOX, 0x4000, 0, 50, 10, 0x50000006,
       0},
      {"option button keeps BS_NOTIFY", CONTROL_OPTION_BUTTON, 0x4000, 0, 50, 10, 0x50004009, 0},
      {"check box strips popup, frame, button type", CONTROL_CHECK_BOX, 0xFFFFFFFF, 0, 50, 10,
       0x5003AF33, 0},
      {"option button from push-button type", CONTROL_OPTION_BUTTON, 0x1, 0, 50, 10, 0x50000009, 0},
      {"custom class exact", CONTROL_CUSTOM_CLASS, 0x00001234, 0x5, 10, 100, 0x00001234, 0x5},
      {"custom class style 0 stays 0", CONTROL_CUSTOM_CLASS, 0, 0, 10, 100, 0, 0},
      {"no row: unchanged", 16, 0, 0x200, 10, 100, 0, 0x200},
  };
  for (const StyleCase& c : cases) {
    ControlStyle s = control_resolve_style(c.kind, c.style, c.ex_style, c.width, c.height);
    EXPECT_EQ(s.style, c.expected_style) << c.what << std::hex << " got 0x" << s.style;
    EXPECT_EQ(s.ex_style, c.expected_ex_style) << c.what;
  }
}

TEST(ControlKinds, ImageKindsSwitchToIcons) {
  struct Case {
    int32_t kind;
    uint32_t bitmap_style, icon_style;
  };
  const Case cases[] = {
      {CONTROL_IMAGE, 0x5000000E, 0x50000003},
      {CONTROL_SIZED_IMAGE, 0x5000000E, 0x50000003},
      {CONTROL_IMAGE_BUTTON, 0x50010080, 0x50010040},
      {CONTROL_SIZED_IMAGE_BUTTON, 0x50010080, 0x50010040},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(control_is_image_kind(c.kind));
    uint32_t style = control_resolve_style(c.kind, 0, 0, 32, 32).style;
    EXPECT_EQ(style, c.bitmap_style) << c.kind;
    EXPECT_EQ(control_icon_style(c.kind, style), c.icon_style) << c.kind;
  }
  // A caller's static style keeps its other bits (SS_CENTERIMAGE 0x200) through the switch.
  EXPECT_EQ(control_icon_style(CONTROL_IMAGE, 0x5000020E), 0x50000203u);
  for (int32_t kind : {0, 1, 5, 9, 14, 15}) {
    EXPECT_FALSE(control_is_image_kind(kind)) << kind;
    EXPECT_EQ(control_icon_style(kind, 0x5000008E), 0x5000008Eu) << kind;
  }
}

// Initial items are DynStrings made on the host's string allocator.
class ControlItems : public testing::Test {
 protected:
  void TearDown() override {
    for (DynString s : made_) string_free(s);
  }
  DynString make(const char* text) {
    DynString s;
    char* bytes;
    int32_t n = static_cast<int32_t>(strlen(text));
    EXPECT_EQ(string_alloc(n, &s, &bytes), ERR_NONE);
    memcpy(bytes, text, n);
    made_.push_back(s);
    return s;
  }
  std::vector<DynString> made_;
};

TEST_F(ControlItems, WalkStopsAtCountNullOrEmpty) {
  // An empty block that is not the null reference, as another producer of strings may hand over.
  DynString empty_block = reinterpret_cast<DynString>(SysAllocStringByteLen(nullptr, 0));
  ASSERT_NE(empty_block, 0u);
  made_.push_back(empty_block);
  DynString a = make("alpha"), b = make("beta"), c = make("gamma");
  DynString full[] = {a, b, c};
  DynString second_empty[] = {a, empty_block, c};
  DynString first_null[] = {0, a, b};
  DynString full_then_null[] = {a, b, 0, c};
  struct Case {
    const char* what;
    ArrayDescriptor descriptor;
    int32_t expected;
  };
  const Case cases[] = {
      {"all of them", {full, ARRAY_FLAG_ITEMS, 3}, 3},
      {"count smaller than the array", {full, ARRAY_FLAG_ITEMS, 2}, 2},
      {"count 0", {full, ARRAY_FLAG_ITEMS, 0}, 0},
      {"negative count", {full, ARRAY_FLAG_ITEMS, -1}, 0},
      {"other flag bits do not matter", {full, 0xFFFF, 3}, 3},
      {"flag 4 missing", {full, 3, 3}, 0},
      {"no flags", {full, 0, 3}, 0},
      {"empty second element ends the walk", {second_empty, ARRAY_FLAG_ITEMS, 3}, 1},
      {"null first element", {first_null, ARRAY_FLAG_ITEMS, 3}, 0},
      {"null element after two", {full_then_null, ARRAY_FLAG_ITEMS, 4}, 2},
      {"no element address", {nullptr, ARRAY_FLAG_ITEMS, 3}, 0},
  };
  for (const Case& k : cases) EXPECT_EQ(control_item_count(&k.descriptor), k.expected) << k.what;
  EXPECT_EQ(control_item_count(nullptr), 0);
}

TEST(ControlCursors, NumbersToSystemCursors) {
  struct Case {
    int32_t number;
    uint16_t id;
  };
  const Case cases[] = {
      {0, 0},      {1, 32512},  {2, 32515}, {3, 32513}, {4, 32512},  {5, 32646},
      {6, 32643},  {7, 32645},  {8, 32642}, {9, 32644}, {10, 32516}, {11, 32514},
      {12, 32648}, {13, 32650}, {14, 0},    {-1, 0},    {1000, 0},   {INT32_MIN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(cursor_identifier(c.number), c.id) << c.number;
}

}  // namespace
