// dialogkit-driver: drives a running program's dialog from outside, as a user would, for tests of
// one's own program. It runs a list of actions in order, in one process, each on the dialog found
// by its caption: a visible top-level dialog of that caption in another process, waited for up to
// a timeout. Each action prints one line with its outcome; the first that fails ends the run with
// exit code 1 (2 for a list it cannot read).
//
//   dialogkit-driver ACTION... , for instance
//   dialogkit-driver wait "To-do" set 100 "Buy milk" click 101 expect-text 104 "Items: 1" close
//
// The actions are listed in usage() below. Texts are printed in double quotes with \r, \n, \t, \"
// and \\ escaped; texts given to it are taken as they are. Texts are UTF-8, in and out, whatever
// the code page of the driver or of the program it drives: it reads its arguments and the
// program's texts in UTF-16 and converts them itself.
//
// A 64-bit program: it drives 32-bit and 64-bit programs alike, when it runs in the same Wine
// prefix (or Windows session) as they do.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

void usage() {
  printf(
      "usage: dialogkit-driver ACTION...\n"
      "  wait CAPTION           wait for a visible dialog titled CAPTION of another program; the\n"
      "                         actions after it act on that dialog\n"
      "  wait-any               wait for any other program's visible dialog and act on it\n"
      "  timeout SECONDS        how long the actions after it wait, 1 s at least (10 s; a first\n"
      "                         wait 90 s)\n"
      "  text ID                print control ID's text\n"
      "  expect-text ID TEXT    wait until control ID shows TEXT\n"
      "  set ID TEXT            set control ID's text\n"
      "  command ID             send the dialog the command ID, as control ID sends it or, when\n"
      "                         there is no such control, as a menu item does\n"
      "  click ID               click button ID (BM_CLICK); it must be visible and enabled\n"
      "  select ID N            select item N (from 1; 0: none) of list or combo box ID, with the\n"
      "                         notification a user's choice sends\n"
      "  items ID               print the number of items of list or combo box ID and their texts\n"
      "  expect-count ID N      wait until list or combo box ID holds N items\n"
      "  expect-item ID N TEXT  wait until item N (from 1) of list or combo box ID is TEXT\n"
      "  expect-selected ID N   wait until item N (0: none) is the one selected in list or combo box ID\n"
      "  resize W H             size the dialog so that its client area is W by H pixels\n"
      "  rect ID                print control ID's rectangle (ID -1: the client area) in client\n"
      "                         pixels and in dialog units\n"
      "  expect-rect ID X Y W H wait until control ID's rectangle is X, Y, W by H dialog units\n"
      "  screenshot FILE        write the dialog's window, as the screen shows it, to FILE (BMP)\n"
      "  close [CODE]           close request (SC_CLOSE); wait for the program to end with exit\n"
      "                         code CODE (0 unless given)\n"
      "  expect-exit [CODE]     wait for the program to end with exit code CODE (0 unless given)\n");
}

// How long an action waits for the dialog and for what it expects, and for a first dialog to
// appear: starting a 32-bit program under an emulated Wine may take that long.
DWORD wait_ms = 10000;
DWORD first_wait_ms = 90000;
const DWORD POLL_MS = 20;

// The dialog the actions act on: its caption, whether one has been found yet, and its program's
// process, held from the wait on so that its end and exit code can be seen.
std::string caption;
bool caption_known = false;
bool found_once = false;
HANDLE program = nullptr;

// --- Texts in and out ---------------------------------------------------------------------------

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

// A top-level window's caption, which reads across processes.
std::string caption_of(HWND window) {
  wchar_t title[512] = {};
  return utf8_of(title, GetWindowTextW(window, title, 512));
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20) {
          char hex[8];
          snprintf(hex, sizeof hex, "\\x%02x", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// One whole decimal number, possibly negative.
bool number_of(const char* text, long* value) {
  char* end = nullptr;
  *value = strtol(text, &end, 10);
  return *text && end && *end == 0;
}

// A message to another program's window, answered within the timeout; false when it was not.
// Texts go as UTF-16.
bool send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, wait_ms, &answer))
    return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

// A window's text by WM_GETTEXT: another process's controls keep their text to themselves.
std::string text_of(HWND window) {
  LRESULT length = 0;
  if (!send(window, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) return "";
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  LRESULT copied = 0;
  if (!send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied))
    return "";
  return utf8_of(buffer.data(), copied < length ? static_cast<int>(copied) : static_cast<int>(length));
}

// --- Finding the dialog -------------------------------------------------------------------------

struct Search {
  const std::string* caption;  // null: any dialog
  HWND found;
};

BOOL CALLBACK look_for_dialog(HWND window, LPARAM p) {
  Search* search = reinterpret_cast<Search*>(p);
  DWORD process = 0;
  char class_name[16] = {};
  GetWindowThreadProcessId(window, &process);
  GetClassNameA(window, class_name, sizeof class_name);
  if (process == GetCurrentProcessId() || !IsWindowVisible(window) ||
      strcmp(class_name, "#32770") != 0)
    return TRUE;
  if (search->caption && *search->caption != caption_of(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND find_dialog(const std::string* wanted, DWORD timeout_ms) {
  for (DWORD waited = 0;; waited += POLL_MS) {
    Search search = {wanted, nullptr};
    EnumWindows(look_for_dialog, reinterpret_cast<LPARAM>(&search));
    if (search.found || waited >= timeout_ms) return search.found;
    Sleep(POLL_MS);
  }
}

DWORD dialog_wait() { return found_once ? wait_ms : first_wait_ms; }

// --- The dialog-unit scale ----------------------------------------------------------------------

// Every toolkit dialog has the same font, 8-point "MS Sans Serif", so a hidden dialog of that
// font made here has its scale: MapDialogRect on another program's dialog fails under Wine.
INT_PTR CALLBACK quiet_dialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

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

// Units to pixels as the toolkit converts them: each pair mapped on its own.
POINT to_pixels(long x, long y) {
  RECT r = {0, 0, x, y};
  MapDialogRect(scale_dialog(), &r);
  return {r.right, r.bottom};
}

// n / d rounded, halves away from zero.
long rounded_quotient(long long n, long long d) {
  long long q = n / d, r = n % d;
  if (2 * llabs(r) >= d) q += r > 0 ? 1 : -1;
  return static_cast<long>(q);
}

// Pixels to units as the toolkit converts them: by the pixel size of 1000 units.
POINT to_units(long x, long y) {
  POINT k = to_pixels(1000, 1000);
  return {rounded_quotient(x * 1000LL, k.x), rounded_quotient(y * 1000LL, k.y)};
}

// --- The actions ----------------------------------------------------------------------------------

// One action as it runs: its words, its dialog, and its report.
struct Action {
  std::vector<std::string> words;  // the action's name and its arguments
  std::string letters;             // per argument: 'n' a number, 't' a text
  HWND dialog = nullptr;
  std::string outcome;
  bool failed = false;
};

bool fail(Action* a, const std::string& why) {
  a->failed = true;
  a->outcome = "FAILED: " + why;
  return false;
}

bool done(Action* a, const std::string& outcome) {
  a->outcome = outcome;
  return true;
}

// The control with the identifier of argument `index`.
bool control_of(Action* a, size_t index, HWND* control) {
  long id = 0;
  number_of(a->words[index].c_str(), &id);
  *control = GetDlgItem(a->dialog, static_cast<int>(id));
  return *control ? true : fail(a, "the dialog has no control " + a->words[index]);
}

// The kind of box a control is, by its class: its item messages.
struct BoxMessages {
  UINT get_count, get_selection, set_selection, get_text_length, get_text;
  WORD selection_changed;
};
const BoxMessages LIST_BOX = {LB_GETCOUNT, LB_GETCURSEL, LB_SETCURSEL,
                              LB_GETTEXTLEN, LB_GETTEXT, LBN_SELCHANGE};
const BoxMessages COMBO_BOX = {CB_GETCOUNT, CB_GETCURSEL, CB_SETCURSEL,
                               CB_GETLBTEXTLEN, CB_GETLBTEXT, CBN_SELCHANGE};

bool box_of(Action* a, HWND control, const BoxMessages** box) {
  char class_name[64] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  // A control of the common controls of version 6 may name its class with the version first
  // ("6.0.2600.2982!Listbox" under Wine).
  const char* name = strrchr(class_name, '!') ? strrchr(class_name, '!') + 1 : class_name;
  if (lstrcmpiA(name, "ListBox") == 0) *box = &LIST_BOX;
  else if (lstrcmpiA(name, "ComboBox") == 0) *box = &COMBO_BOX;
  else return fail(a, "control " + a->words[1] + " is no list or combo box");
  return true;
}

LRESULT box_count(HWND control, const BoxMessages* box) {
  LRESULT n = 0;
  return send(control, box->get_count, 0, 0, &n) ? n : -1;
}

// Item `number` (from 1) of a box; false when it has no such item. Asked for in UTF-16 and
// converted here (Wine hands another process's item texts over in UTF-16 also to the ANSI
// message, into a buffer measured in ANSI characters).
bool box_item(HWND control, const BoxMessages* box, long number, std::string* text) {
  DWORD_PTR length = 0;
  if (number < 1 ||
      !SendMessageTimeoutW(control, box->get_text_length, number - 1, 0, SMTO_NORMAL, wait_ms,
                           &length) ||
      static_cast<LRESULT>(length) < 0)
    return false;
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, box->get_text, number - 1,
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL, wait_ms, &copied) ||
      static_cast<LRESULT>(copied) < 0)
    return false;
  *text = utf8_of(buffer.data(), static_cast<int>(copied < length ? copied : length));
  return true;
}

// The selected item's number, 0 for none.
long box_selected(HWND control, const BoxMessages* box) {
  LRESULT index = -1;
  send(control, box->get_selection, 0, 0, &index);
  return index >= 0 ? static_cast<long>(index) + 1 : 0;
}

// A control's rectangle in its dialog's client pixels; the client area for -1.
RECT rect_of(HWND dialog, HWND control) {
  RECT r = {};
  if (!control) {
    GetClientRect(dialog, &r);
    return r;
  }
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string rect_text(const RECT& r) {
  POINT place = to_units(r.left, r.top), size = to_units(r.right - r.left, r.bottom - r.top);
  char text[160];
  snprintf(text, sizeof text, "%ld,%ld %ldx%ld pixels; %ld,%ld %ldx%ld dialog units", r.left, r.top,
           r.right - r.left, r.bottom - r.top, place.x, place.y, size.x, size.y);
  return text;
}

// Polls `check` until it holds or the timeout has passed. The checks keep what they saw last, for
// the message when it never held.
template <typename Check>
bool wait_until(Check check) {
  for (DWORD waited = 0;; waited += POLL_MS) {
    if (check()) return true;
    if (waited >= wait_ms) return false;
    Sleep(POLL_MS);
  }
}

bool act_text(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  return done(a, quoted(text_of(control)));
}

bool act_expect_text(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  std::string seen;
  if (wait_until([&] { return (seen = text_of(control)) == a->words[2]; })) return done(a, "shown");
  return fail(a, "control " + a->words[1] + " shows " + quoted(seen));
}

bool act_set(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  LRESULT ok = 0;
  std::wstring text = wide_of(a->words[2]);
  if (!send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok))
    return fail(a, "no answer");
  return ok ? done(a, "set") : fail(a, "the control refused the text");
}

bool act_command(Action* a) {
  long id = 0;
  number_of(a->words[1].c_str(), &id);
  HWND control = GetDlgItem(a->dialog, static_cast<int>(id));
  // A control's click notification carries the control; a menu item's command carries none.
  if (!send(a->dialog, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(control), nullptr))
    return done(a, "sent; no answer yet (a dialog of its own, perhaps)");
  return done(a, control ? "answered" : "answered, as a menu command");
}

bool act_click(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  if (!IsWindowVisible(control)) return fail(a, "button " + a->words[1] + " is hidden");
  if (!IsWindowEnabled(control)) return fail(a, "button " + a->words[1] + " is disabled");
  if (!send(control, BM_CLICK, 0, 0, nullptr))
    return done(a, "clicked; no answer yet (a dialog of its own, perhaps)");
  return done(a, "clicked");
}

bool act_select(Action* a) {
  HWND control;
  const BoxMessages* box;
  long n = 0;
  if (!control_of(a, 1, &control) || !box_of(a, control, &box)) return false;
  number_of(a->words[2].c_str(), &n);
  LRESULT result = 0;
  bool multiple = box == &LIST_BOX &&
                  (GetWindowLongA(control, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  // A multiple-selection list adds the item to its selection; 0 clears it.
  bool sent = multiple ? send(control, LB_SETSEL, n > 0, n - 1, &result)
                       : send(control, box->set_selection, static_cast<WPARAM>(n - 1), 0, &result);
  if (!sent) return fail(a, "no answer");
  if (n != 0 && result < 0) return fail(a, "there is no item " + a->words[2]);
  send(a->dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), box->selection_changed),
       reinterpret_cast<LPARAM>(control), nullptr);
  return done(a, n ? "selected" : "selection cleared");
}

bool act_items(Action* a) {
  HWND control;
  const BoxMessages* box;
  if (!control_of(a, 1, &control) || !box_of(a, control, &box)) return false;
  LRESULT count = box_count(control, box);
  std::string out = std::to_string(count) + " items";
  for (LRESULT i = 1; i <= count; ++i) {
    std::string text;
    box_item(control, box, static_cast<long>(i), &text);
    out += (i == 1 ? ": " : ", ") + quoted(text);
  }
  return done(a, out);
}

bool act_expect_count(Action* a) {
  HWND control;
  const BoxMessages* box;
  long n = 0;
  if (!control_of(a, 1, &control) || !box_of(a, control, &box)) return false;
  number_of(a->words[2].c_str(), &n);
  LRESULT seen = 0;
  if (wait_until([&] { return (seen = box_count(control, box)) == n; })) return done(a, "held");
  return fail(a, "control " + a->words[1] + " holds " + std::to_string(seen) + " items");
}

bool act_expect_item(Action* a) {
  HWND control;
  const BoxMessages* box;
  long n = 0;
  if (!control_of(a, 1, &control) || !box_of(a, control, &box)) return false;
  number_of(a->words[2].c_str(), &n);
  std::string seen;
  bool exists = false;
  if (wait_until([&] { return (exists = box_item(control, box, n, &seen)) && seen == a->words[3]; }))
    return done(a, "shown");
  return fail(a, exists ? "item " + a->words[2] + " is " + quoted(seen)
                        : "there is no item " + a->words[2]);
}

bool act_expect_selected(Action* a) {
  HWND control;
  const BoxMessages* box;
  long n = 0;
  if (!control_of(a, 1, &control) || !box_of(a, control, &box)) return false;
  number_of(a->words[2].c_str(), &n);
  long seen = 0;
  if (wait_until([&] { return (seen = box_selected(control, box)) == n; }))
    return done(a, n ? "selected" : "nothing selected");
  return fail(a, seen ? "item " + std::to_string(seen) + " is selected" : "nothing is selected");
}

bool act_resize(Action* a) {
  long width = 0, height = 0;
  number_of(a->words[1].c_str(), &width);
  number_of(a->words[2].c_str(), &height);
  // The outer size is the client size asked for plus the frame, caption and menu bar; twice,
  // because a menu bar may wrap onto more lines at another width.
  RECT client = {};
  for (int pass = 0; pass < 2; ++pass) {
    RECT outer;
    GetWindowRect(a->dialog, &outer);
    GetClientRect(a->dialog, &client);
    if (client.right == width && client.bottom == height) break;
    SetWindowPos(a->dialog, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                 height + (outer.bottom - outer.top) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(a->dialog, &client);
  }
  char text[120];
  snprintf(text, sizeof text, "client area %ld by %ld pixels", client.right, client.bottom);
  std::string out = text;
  if (client.right != width || client.bottom != height) out += " (the program keeps it from the size asked for)";
  return done(a, out);
}

bool act_rect(Action* a) {
  long id = 0;
  number_of(a->words[1].c_str(), &id);
  HWND control = nullptr;
  if (id != -1 && !control_of(a, 1, &control)) return false;
  return done(a, rect_text(rect_of(a->dialog, control)));
}

bool act_expect_rect(Action* a) {
  long id = 0, x, y, w, h;
  number_of(a->words[1].c_str(), &id);
  number_of(a->words[2].c_str(), &x);
  number_of(a->words[3].c_str(), &y);
  number_of(a->words[4].c_str(), &w);
  number_of(a->words[5].c_str(), &h);
  HWND control = nullptr;
  if (id != -1 && !control_of(a, 1, &control)) return false;
  // As the toolkit places a control: its position and its size each mapped to pixels.
  POINT place = to_pixels(x, y), size = to_pixels(w, h);
  RECT want = {place.x, place.y, place.x + size.x, place.y + size.y}, seen = {};
  if (wait_until([&] {
        seen = rect_of(a->dialog, control);
        return EqualRect(&seen, &want) != 0;
      }))
    return done(a, rect_text(seen));
  char text[80];
  snprintf(text, sizeof text, " (want %ld,%ld %ldx%ld pixels)", want.left, want.top,
           want.right - want.left, want.bottom - want.top);
  return fail(a, "it is " + rect_text(seen) + text);
}

// The dialog's window as the screen shows it, once the program has painted it, as a 24-bit BMP.
bool act_screenshot(Action* a) {
  RedrawWindow(a->dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  send(a->dialog, WM_NULL, 0, 0, nullptr);
  Sleep(300);  // the program paints from its own message loop
  RECT r;
  GetWindowRect(a->dialog, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return fail(a, "the dialog has no area on the screen");
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  info.biSizeImage = row * static_cast<DWORD>(height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  bool copied = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
  }
  bool written = false;
  if (copied) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    if (FILE* f = _wfopen(wide_of(a->words[1]).c_str(), L"wb")) {
      written = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
                fwrite(bits, info.biSizeImage, 1, f) == 1;
      written = fclose(f) == 0 && written;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return fail(a, "the screen could not be read");
  if (!written) return fail(a, "cannot write " + a->words[1]);
  return done(a, std::to_string(width) + " by " + std::to_string(height) + " pixels written");
}

// Waits for the program to end with exit code `expected` (argument 1 when given, else 0).
bool program_ends(Action* a) {
  long expected = 0;
  if (a->words.size() > 1) number_of(a->words[1].c_str(), &expected);
  if (!caption_known) return fail(a, "no program yet: begin with wait CAPTION or wait-any");
  if (!program) return fail(a, "cannot watch the program's process");
  if (WaitForSingleObject(program, wait_ms) != WAIT_OBJECT_0)
    return fail(a, "the program still runs " + std::to_string(wait_ms / 1000) + " s later");
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(program, &code);
  std::string outcome = "ended with exit code " + std::to_string(code);
  return code == static_cast<DWORD>(expected) ? done(a, outcome) : fail(a, outcome);
}

bool act_close(Action* a) {
  PostMessageA(a->dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return program_ends(a);
}

bool act_expect_exit(Action* a) { return program_ends(a); }

bool act_timeout(Action* a) {
  long seconds = 0;
  number_of(a->words[1].c_str(), &seconds);
  if (seconds < 1) seconds = 1;  // the program needs a moment to answer any message at all
  wait_ms = first_wait_ms = static_cast<DWORD>(seconds) * 1000;
  return done(a, "waits up to " + std::to_string(seconds) + " s");
}

// wait and wait-any: the dialog found becomes the one the actions after it act on, by its caption.
bool act_wait(Action* a) {
  bool any = a->words.size() == 1;
  HWND dialog = find_dialog(any ? nullptr : &a->words[1], dialog_wait());
  if (!dialog) return fail(a, "no such dialog appeared");
  caption = caption_of(dialog);
  caption_known = found_once = true;
  DWORD process = 0;
  GetWindowThreadProcessId(dialog, &process);
  if (program) CloseHandle(program);
  program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  std::string outcome = "found, process " + std::to_string(process);
  return done(a, any ? quoted(caption) + " " + outcome : outcome);
}

// The actions by name, their arguments (close and expect-exit take an optional one) and whether
// they act on the dialog.
struct ActionKind {
  const char* name;
  const char* letters;  // one per argument: 'n' a number, 't' a text
  bool on_dialog;
  bool (*run)(Action*);
};
const ActionKind kinds[] = {
    {"wait", "t", false, act_wait},
    {"wait-any", "", false, act_wait},
    {"timeout", "n", false, act_timeout},
    {"text", "n", true, act_text},
    {"expect-text", "nt", true, act_expect_text},
    {"set", "nt", true, act_set},
    {"command", "n", true, act_command},
    {"click", "n", true, act_click},
    {"select", "nn", true, act_select},
    {"items", "n", true, act_items},
    {"expect-count", "nn", true, act_expect_count},
    {"expect-item", "nnt", true, act_expect_item},
    {"expect-selected", "nn", true, act_expect_selected},
    {"resize", "nn", true, act_resize},
    {"rect", "n", true, act_rect},
    {"expect-rect", "nnnnn", true, act_expect_rect},
    {"screenshot", "t", true, act_screenshot},
    {"close", "", true, act_close},
    {"expect-exit", "", false, act_expect_exit},
};

const ActionKind* kind_of(const std::string& name) {
  for (const ActionKind& k : kinds)
    if (name == k.name) return &k;
  return nullptr;
}

// The action as it was given, its texts quoted, and what came of it.
void report(const Action& a) {
  std::string line = a.words[0];
  for (size_t i = 1; i < a.words.size(); ++i)
    line += " " + (a.letters[i - 1] == 't' ? quoted(a.words[i]) : a.words[i]);
  printf("%s: %s\n", line.c_str(), a.outcome.c_str());
}

// Reads the list into actions; false (after saying why) when it cannot.
bool parse(int argc, char** argv, std::vector<Action>* actions) {
  for (int i = 1; i < argc;) {
    Action a;
    a.words.push_back(argv[i++]);
    const ActionKind* kind = kind_of(a.words[0]);
    if (!kind) {
      printf("dialogkit-driver: unknown action \"%s\"\n", a.words[0].c_str());
      return false;
    }
    a.letters = kind->letters;
    // close and expect-exit take an exit code when a number follows.
    long code;
    if ((a.words[0] == "close" || a.words[0] == "expect-exit") && i < argc && number_of(argv[i], &code))
      a.letters = "n";
    for (char letter : a.letters) {
      long value;
      if (i >= argc) {
        printf("dialogkit-driver: %s needs %zu argument(s)\n", a.words[0].c_str(), a.letters.size());
        return false;
      }
      if (letter == 'n' && !number_of(argv[i], &value)) {
        printf("dialogkit-driver: %s: \"%s\" is not a number\n", a.words[0].c_str(), argv[i]);
        return false;
      }
      a.words.push_back(argv[i++]);
    }
    actions->push_back(a);
  }
  return true;
}

// Runs one action; false when it failed. The actions on the dialog find it first.
bool run(Action* a) {
  const ActionKind* kind = kind_of(a->words[0]);
  if (kind->on_dialog) {
    if (!caption_known) return fail(a, "no dialog yet: begin with wait CAPTION or wait-any");
    a->dialog = find_dialog(&caption, dialog_wait());
    if (!a->dialog) return fail(a, "the dialog " + quoted(caption) + " is not there");
    found_once = true;
  }
  return kind->run(a);
}

}  // namespace

// The arguments in UTF-8, from the UTF-16 command line: the ANSI one holds only what the code
// page can.
int wmain(int argc, wchar_t** wargv) {
  // Lines end in LF alone, as the shell that reads them expects, and each is out at once.
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  std::vector<std::string> args;
  std::vector<char*> argv;
  for (int i = 0; i < argc; ++i) args.push_back(utf8_of(wargv[i], static_cast<int>(wcslen(wargv[i]))));
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  std::vector<Action> actions;
  if (argc < 2 || !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h")) {
    usage();
    return argc < 2 ? 2 : 0;
  }
  if (!parse(argc, argv.data(), &actions)) {
    usage();
    return 2;
  }
  for (Action& a : actions) {
    run(&a);
    report(a);
    if (a.failed) return 1;
  }
  return 0;
}
