// Texts through every toolkit operation that takes or gives one, read back through the toolkit and
// through the system's W functions, exact. Built twice: text_test with the manifest that
// add_dialog_program gives a program by default, whose code page is UTF-8, so every text of the
// table goes in and comes back as the same UTF-8 bytes; text_test_classic without a manifest, on
// the machine's ANSI code page, where the texts that page can hold do the same.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/controls.hpp"
#include "dialogkit/toolkit/menus.hpp"

namespace {

#ifdef TEST_WITHOUT_MANIFEST
constexpr bool MANIFEST = false;
#else
constexpr bool MANIFEST = true;
#endif

// One text of the table, in UTF-8 and in UTF-16.
struct Text {
  const char* name;
  std::string utf8;
  std::wstring wide;
};

const std::vector<Text>& table() {
  static const std::vector<Text> texts = {
      {"ASCII", "Plain text 123", L"Plain text 123"},
      {"accents", "Gr\xC3\xBC\xC3\x9F" "e, caf\xC3\xA9, na\xC3\xAFve", L"Gr\u00FC\u00DFe, caf\u00E9, na\u00EFve"},
      {"Greek", "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1",
       L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"},
      {"Cyrillic", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",
       L"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440"},
      {"4-byte character", "Smile \xF0\x9F\x98\x80!", L"Smile \xD83D\xDE00!"},
      {"empty", "", L""},
  };
  return texts;
}

// The bytes the process's code page makes of `wide`; false when the page cannot hold it all.
bool code_page_bytes(const std::wstring& wide, std::string* bytes) {
  bytes->clear();
  if (wide.empty()) return true;
  BOOL lossy = FALSE;
  UINT page = GetACP();
  BOOL* lossy_out = page == CP_UTF8 ? nullptr : &lossy;  // UTF-8 takes no default character
  DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(page, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                              lossy_out);
  if (n <= 0 || lossy) return false;
  bytes->resize(n);
  WideCharToMultiByte(page, flags, wide.data(), static_cast<int>(wide.size()), &(*bytes)[0], n, nullptr,
                      lossy_out);
  return !lossy;
}

// The texts of the table this build's code page holds, as it writes them. Under UTF-8 they must
// be the table's own UTF-8 bytes.
struct Case {
  const char* name;
  std::string bytes;
  std::wstring wide;
};
std::vector<Case> cases() {
  std::vector<Case> out;
  for (const Text& t : table()) {
    std::string bytes;
    if (!code_page_bytes(t.wide, &bytes)) continue;
    if (GetACP() == CP_UTF8) {
      EXPECT_EQ(bytes, t.utf8) << t.name;
    }
    out.push_back({t.name, bytes, t.wide});
  }
  return out;
}

std::wstring window_text_w(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(n + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], n + 1));
  return text;
}

std::wstring item_text_w(HWND box, bool combo) {
  LRESULT index = SendMessageW(box, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  LRESULT n = SendMessageW(box, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (n < 0) return L"<no item>";
  std::wstring text(n + 1, L'\0');
  LRESULT copied = SendMessageW(box, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied < 0 ? 0 : copied);
  return text;
}

std::wstring menu_text_w(HMENU menu, UINT position) {
  wchar_t buffer[512] = {};
  int n = GetMenuStringW(menu, position, buffer, 512, MF_BYPOSITION);
  return std::wstring(buffer, n > 0 ? n : 0);
}

std::string hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (unsigned char c : bytes) {
    snprintf(digits, sizeof digits, "%02X ", c);
    out += digits;
  }
  return out;
}

enum : int32_t { ID_LABEL = 10, ID_EDIT, ID_BUTTON, ID_COMBO, ID_LIST };

class TextTest : public testing::Test {
 protected:
  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    pump_messages();
    EXPECT_EQ(frame_.temp_index, 0);
    while (temp_count(&frame_) > 0) temp_pop_free(&frame_);
  }
  void push(const std::string& text) {
    temp_push_copy(&frame_, text.data(), static_cast<int32_t>(text.size()));
  }
  std::string pop() {
    EXPECT_EQ(temp_count(&frame_), 1);
    if (temp_count(&frame_) != 1) return "<no result>";
    StringView v = temp_view(&frame_, 0);
    std::string s(v.data, v.length);
    temp_pop_free(&frame_);
    return s;
  }
  HWND dialog(const std::string& caption) {
    push(caption);
    HWND d = dialog_create(&frame_, nullptr, 10, 10, 240, 120, 0, 0);
    if (d) windows_.push_back(d);
    return d;
  }
  HWND add(HWND d, int32_t kind, int32_t id, const std::string& text, const ArrayDescriptor* items = nullptr) {
    push(text);
    temp_push_empty(&frame_);
    return control_add(&frame_, kind, d, id, items, 5, 5 + 15 * (id - ID_LABEL), 100, 60, 0, 0, nullptr);
  }
  std::string toolkit_text(HWND window) {
    window_get_text(&frame_, window);
    return pop();
  }
  std::vector<HWND> windows_;
  ProcedureFrame frame_ = {};
};

TEST(TextBuild, TheCodePageAndTheControlsAreWhatTheBuildAsksFor) {
  HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(button);
  SIZE size = {};
  bool ideal = SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) && size.cx > 0;
  DestroyWindow(button);
  printf("code page %u, version 6 buttons %d\n", GetACP(), ideal);
  if (MANIFEST) {
    EXPECT_EQ(GetACP(), 65001u);
    EXPECT_TRUE(ideal);
  } else {
    EXPECT_NE(GetACP(), 65001u);
    EXPECT_FALSE(ideal);
  }
}

TEST_F(TextTest, DialogCaptionsAndWindowTexts) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    HWND d = dialog(c.bytes);
    ASSERT_TRUE(d);
    // An empty caption is one blank in the template.
    std::string caption = c.bytes.empty() ? " " : c.bytes;
    std::wstring caption_w = c.wide.empty() ? L" " : c.wide;
    EXPECT_EQ(toolkit_text(d), caption) << hex(toolkit_text(d));
    EXPECT_TRUE(window_text_w(d) == caption_w);
    push(c.bytes);
    window_set_text(&frame_, d);
    EXPECT_EQ(toolkit_text(d), c.bytes);
    EXPECT_TRUE(window_text_w(d) == c.wide);
  }
}

TEST_F(TextTest, ControlTextsAtCreationAndSetAgain) {
  HWND d = dialog("Controls");
  ASSERT_TRUE(d);
  int32_t id = ID_LABEL;
  for (int32_t kind : {CONTROL_LABEL, CONTROL_TEXT_BOX, CONTROL_PUSH_BUTTON}) {
    for (const Case& c : cases()) {
      SCOPED_TRACE(testing::Message() << c.name << ", kind " << kind);
      HWND control = add(d, kind, id, c.bytes);
      ASSERT_TRUE(control);
      EXPECT_EQ(toolkit_text(control), c.bytes) << hex(toolkit_text(control));
      control_get_text(&frame_, d, id);
      EXPECT_EQ(pop(), c.bytes);
      EXPECT_TRUE(window_text_w(control) == c.wide);
      push("x");
      control_set_text(&frame_, d, id);
      push(c.bytes);
      control_set_text(&frame_, d, id);
      EXPECT_EQ(toolkit_text(control), c.bytes);
      EXPECT_TRUE(window_text_w(control) == c.wide);
      DestroyWindow(control);
    }
  }
}

TEST_F(TextTest, ListAndComboItems) {
  HWND d = dialog("Items");
  ASSERT_TRUE(d);
  for (const Case& c : cases()) {
    for (bool combo : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.name << (combo ? ", combo box" : ", list box"));
      int32_t id = combo ? ID_COMBO : ID_LIST;
      // Added by the operation.
      HWND box = add(d, combo ? CONTROL_COMBO_BOX : CONTROL_LIST_BOX, id, "");
      ASSERT_TRUE(box);
      push(c.bytes);
      EXPECT_EQ(combo ? combo_add(&frame_, d, id) : list_add(&frame_, d, id), 0);
      combo ? combo_select(d, id, 1) : list_select(d, id, 1);
      combo ? combo_get_selected_text(&frame_, d, id) : list_get_selected_text(&frame_, d, id);
      EXPECT_EQ(pop(), c.bytes);
      EXPECT_TRUE(item_text_w(box, combo) == c.wide);
      DestroyWindow(box);
      // Given at creation (an empty element ends the items: none for the empty text).
      if (c.bytes.empty()) continue;
      DynString element = 0;
      char* bytes;
      ASSERT_EQ(string_alloc(static_cast<int32_t>(c.bytes.size()), &element, &bytes), ERR_NONE);
      memcpy(bytes, c.bytes.data(), c.bytes.size());
      ArrayDescriptor items = {&element, ARRAY_FLAG_ITEMS, 1};
      box = add(d, combo ? CONTROL_COMBO_BOX : CONTROL_LIST_BOX, id, "", &items);
      string_free(element);
      ASSERT_TRUE(box);
      combo ? combo_select(d, id, 1) : list_select(d, id, 1);
      combo ? combo_get_selected_text(&frame_, d, id) : list_get_selected_text(&frame_, d, id);
      EXPECT_EQ(pop(), c.bytes);
      EXPECT_TRUE(item_text_w(box, combo) == c.wide);
      DestroyWindow(box);
    }
  }
}

TEST_F(TextTest, MenuItemsInsertedAndSetAgain) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    HMENU menu = menu_create(1);
    ASSERT_TRUE(menu);
    push(c.bytes);
    ASSERT_TRUE(menu_insert_item(&frame_, menu, 0, 1, 0, 100, nullptr));
    menu_get_text(&frame_, menu, 0, 0);
    EXPECT_EQ(pop(), c.bytes);
    EXPECT_TRUE(menu_text_w(menu, 0) == c.wide);
    push("x");
    menu_set_text(&frame_, menu, 0, 0);
    push(c.bytes);
    EXPECT_TRUE(menu_set_text(&frame_, menu, 0, 0));
    menu_get_text(&frame_, menu, 100, MENU_OPT_BY_COMMAND);
    EXPECT_EQ(pop(), c.bytes);
    EXPECT_TRUE(menu_text_w(menu, 0) == c.wide);
    DestroyMenu(menu);
  }
}

// The length limits count bytes, and under UTF-8 none of them ends a text inside a character.
// A window text is read back whole up to 32,769 bytes; a longer one, cut there, ends with the
// last whole character.
TEST_F(TextTest, AWindowTextAtTheLengthLimitAndBeyond) {
  // A character of two bytes in UTF-8 and of one in an ANSI page.
  std::wstring e(1, L'\u00E9');
  std::string e_bytes;
  ASSERT_TRUE(code_page_bytes(e, &e_bytes));
  HWND d = dialog("Limit");
  ASSERT_TRUE(d);
  HWND label = add(d, CONTROL_LABEL, ID_LABEL, "");
  ASSERT_TRUE(label);
  const size_t limit = WINDOW_TEXT_BUFFER - 1;  // 32,769 bytes
  std::string at_limit;
  std::wstring at_limit_w;
  while (at_limit.size() + e_bytes.size() <= limit) {
    at_limit += e_bytes;
    at_limit_w += e;
  }
  while (at_limit.size() < limit) {
    at_limit = "a" + at_limit;
    at_limit_w = L"a" + at_limit_w;
  }
  ASSERT_EQ(at_limit.size(), limit);
  push(at_limit);
  control_set_text(&frame_, d, ID_LABEL);
  EXPECT_TRUE(toolkit_text(label) == at_limit);
  EXPECT_TRUE(window_text_w(label) == at_limit_w);
  // A text of one character more than fits: under UTF-8 the limit falls inside its last
  // character, which is left out whole.
  size_t fitting = limit / e_bytes.size();
  std::string over, cut;
  for (size_t i = 0; i <= fitting; ++i) over += e_bytes;
  for (size_t i = 0; i < fitting; ++i) cut += e_bytes;
  push(over);
  control_set_text(&frame_, d, ID_LABEL);
  std::string back = toolkit_text(label);
  EXPECT_EQ(back.size(), cut.size());
  EXPECT_TRUE(back == cut) << "not the text's whole characters up to the limit";
}

// A caption counts 256 bytes at most, as the template holds it; under UTF-8 the cut falls before a
// character it would split.
TEST_F(TextTest, ACaptionBeyondTheLengthLimit) {
  std::wstring alpha(1, MANIFEST ? L'\u03B1' : L'\u00E9');
  std::string a_bytes;
  ASSERT_TRUE(code_page_bytes(alpha, &a_bytes));
  for (const char* lead : {"", "a"}) {
    SCOPED_TRACE(lead);
    std::string caption = lead;
    std::wstring caption_w(caption.begin(), caption.end());
    for (int i = 0; i < 200; ++i) {
      caption += a_bytes;
      caption_w += alpha;
    }
    HWND d = dialog(caption);
    ASSERT_TRUE(d);
    size_t keep = (256 - strlen(lead)) / a_bytes.size();  // whole characters
    std::string expected = lead + caption.substr(strlen(lead), keep * a_bytes.size());
    EXPECT_EQ(toolkit_text(d), expected);
    EXPECT_TRUE(window_text_w(d) == caption_w.substr(0, strlen(lead) + keep));
  }
}

}  // namespace
