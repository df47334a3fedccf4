// dialogkit-driver's actions on the dialog's texts, commands and buttons, list and combo boxes,
// rectangles, and on the program's end; and what they share.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/driver/driver.hpp"

using remote::window_caption;

bool fail(Action* a, const std::string& why) {
  a->failed = true;
  a->outcome = "FAILED: " + why;
  return false;
}

bool done(Action* a, const std::string& outcome) {
  a->outcome = outcome;
  return true;
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

bool number_of(const char* text, long* value) {
  char* end = nullptr;
  *value = strtol(text, &end, 10);
  return *text && end && *end == 0;
}

bool control_of(Action* a, size_t index, HWND* control) {
  long id = 0;
  number_of(a->words[index].c_str(), &id);
  *control = GetDlgItem(a->dialog, static_cast<int>(id));
  return *control ? true : fail(a, "the dialog has no control " + a->words[index]);
}

bool send(Action* a, HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  return remote::window_send(window, message, wparam, lparam, a->driver->wait_ms, result);
}

DWORD dialog_wait_ms(const Driver* d) { return d->found_once ? d->wait_ms : d->first_wait_ms; }

// The captions of the visible top-level windows of other programs, for the message when the
// dialog asked for is not there: most often a caption spelt otherwise, or another dialog in front.
std::string captions_seen() {
  std::string seen;
  for (HWND window : remote::top_level_windows()) {
    if (remote::window_process(window) == GetCurrentProcessId() || !IsWindowVisible(window)) continue;
    const std::string title = window_caption(window);
    if (!title.empty()) seen += (seen.empty() ? "" : ", ") + quoted(title);
  }
  return "top-level windows seen: " + (seen.empty() ? std::string("none") : seen);
}

// --- Actions that may open a dialog of the program's own --------------------------------------

std::vector<HWND> dialogs_of(HWND dialog) {
  std::vector<HWND> dialogs;
  DWORD process = remote::window_process(dialog);
  for (HWND window : remote::top_level_windows())
    if (remote::window_process(window) == process && window != dialog && IsWindowVisible(window) &&
        remote::window_has_class(window, "#32770"))
      dialogs.push_back(window);
  return dialogs;
}

HWND dialog_opened(HWND dialog, const std::vector<HWND>& before) {
  for (HWND window : dialogs_of(dialog)) {
    bool is_new = true;
    for (HWND old : before) is_new = is_new && old != window;
    if (is_new) return window;
  }
  return nullptr;
}

std::string opened_text(HWND window) {
  return "opened the dialog " + quoted(window_caption(window));
}

namespace {

// The answer to a message of send_watching: its entry in Driver::sends_answered.
VOID CALLBACK send_answered(HWND, UINT, ULONG_PTR answered, LRESULT) {
  *reinterpret_cast<bool*>(answered) = true;
}

enum SendOutcome { SEND_ANSWERED, SEND_OPENED, SEND_NO_ANSWER };

// Sends `message` to `target`, a window of the program of the action's dialog, and waits until
// the program has handled it, as the program's user would; but not past a dialog that its
// handling opens: the program answers only when that dialog ends, and the actions after this one
// are to act on it. The answer comes back through SendMessageCallback, while this thread polls
// its queue. `opened` is then the new dialog.
SendOutcome send_watching(Action* a, HWND target, UINT message, WPARAM wparam, LPARAM lparam,
                          HWND* opened) {
  std::vector<HWND> before = dialogs_of(a->dialog);
  std::deque<bool>& answers = a->driver->sends_answered;
  answers.push_back(false);
  bool* answered = &answers.back();
  if (!SendMessageCallbackA(target, message, wparam, lparam, send_answered,
                            reinterpret_cast<ULONG_PTR>(answered)))
    return SEND_NO_ANSWER;
  for (DWORD waited = 0;; waited += POLL_MS) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if (*answered) return SEND_ANSWERED;
    if ((*opened = dialog_opened(a->dialog, before))) return SEND_OPENED;
    if (waited >= a->driver->wait_ms) return SEND_NO_ANSWER;
    Sleep(POLL_MS);
  }
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

LRESULT box_count(Action* a, HWND control, const BoxMessages* box) {
  LRESULT n = 0;
  return send(a, control, box->get_count, 0, 0, &n) ? n : -1;
}

// Item `number` (from 1) of a box; false when it has no such item. Asked for in UTF-16 and
// converted here (Wine hands another process's item texts over in UTF-16 also to the ANSI
// message, into a buffer measured in ANSI characters).
bool box_item(Action* a, HWND control, const BoxMessages* box, long number, std::string* text) {
  LRESULT length = 0;
  if (number < 1 || !send(a, control, box->get_text_length, number - 1, 0, &length) || length < 0)
    return false;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  LRESULT copied = 0;
  if (!send(a, control, box->get_text, number - 1, reinterpret_cast<LPARAM>(buffer.data()), &copied) ||
      copied < 0)
    return false;
  *text = remote::utf8_of(buffer.data(), static_cast<int>(copied < length ? copied : length));
  return true;
}

// The selected item's number, 0 for none.
long box_selected(Action* a, HWND control, const BoxMessages* box) {
  LRESULT index = -1;
  send(a, control, box->get_selection, 0, 0, &index);
  return index >= 0 ? static_cast<long>(index) + 1 : 0;
}

// The list or combo box of argument 1, and the number of argument 2 when there is one.
struct Box {
  HWND control;
  const BoxMessages* box;
  long n;
};

bool box_arguments(Action* a, Box* b) {
  b->n = 0;
  if (!control_of(a, 1, &b->control) || !box_of(a, b->control, &b->box)) return false;
  if (a->words.size() > 2) number_of(a->words[2].c_str(), &b->n);
  return true;
}

std::string rect_text(const RECT& r) {
  POINT place = remote::pixels_to_units(r.left, r.top);
  POINT size = remote::pixels_to_units(r.right - r.left, r.bottom - r.top);
  char text[160];
  snprintf(text, sizeof text, "%ld,%ld %ldx%ld pixels; %ld,%ld %ldx%ld dialog units", r.left, r.top,
           r.right - r.left, r.bottom - r.top, place.x, place.y, size.x, size.y);
  return text;
}

}  // namespace

bool act_text(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  return done(a, quoted(remote::window_text(control, a->driver->wait_ms)));
}

bool act_expect_text(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  std::string seen;
  if (wait_until(a, [&] { return (seen = remote::window_text(control, a->driver->wait_ms)) == a->words[2]; }))
    return done(a, "shown");
  return fail(a, "control " + a->words[1] + " shows " + quoted(seen));
}

bool act_set(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  LRESULT ok = 0;
  std::wstring text = remote::wide_of(a->words[2]);
  if (!send(a, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok))
    return fail(a, "no answer");
  return ok ? done(a, "set") : fail(a, "the control refused the text");
}

bool act_command(Action* a) {
  long id = 0;
  number_of(a->words[1].c_str(), &id);
  HWND control = GetDlgItem(a->dialog, static_cast<int>(id)), opened = nullptr;
  // A control's click notification carries the control; a menu item's command carries none.
  switch (send_watching(a, a->dialog, WM_COMMAND, MAKEWPARAM(id, 0),
                        reinterpret_cast<LPARAM>(control), &opened)) {
    case SEND_OPENED: return done(a, opened_text(opened));
    case SEND_NO_ANSWER: return done(a, "sent; no answer yet");
    default: return done(a, control ? "answered" : "answered, as a menu command");
  }
}

bool act_click(Action* a) {
  HWND control, opened = nullptr;
  if (!control_of(a, 1, &control)) return false;
  if (!IsWindowVisible(control)) return fail(a, "button " + a->words[1] + " is hidden");
  if (!IsWindowEnabled(control)) return fail(a, "button " + a->words[1] + " is disabled");
  switch (send_watching(a, control, BM_CLICK, 0, 0, &opened)) {
    case SEND_OPENED: return done(a, "clicked; " + opened_text(opened));
    case SEND_NO_ANSWER: return done(a, "clicked; no answer yet");
    default: return done(a, "clicked");
  }
}

// The dialog, by its caption, gone: ended by a key or a button of its own.
bool act_expect_closed(Action* a) {
  const Driver* d = a->driver;
  if (!d->caption_known) return fail(a, "no dialog yet: begin with wait CAPTION or wait-any");
  if (wait_until(a, [&] { return remote::dialog_find(d->caption.c_str(), 0) == nullptr; }))
    return done(a, "closed");
  return fail(a, "the dialog " + quoted(d->caption) + " is still there");
}

bool act_select(Action* a) {
  Box b;
  if (!box_arguments(a, &b)) return false;
  LRESULT result = 0;
  bool multiple = b.box == &LIST_BOX &&
                  (GetWindowLongA(b.control, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  // A multiple-selection list adds the item to its selection; 0 clears it.
  bool sent = multiple ? send(a, b.control, LB_SETSEL, b.n > 0, b.n - 1, &result)
                       : send(a, b.control, b.box->set_selection, static_cast<WPARAM>(b.n - 1), 0, &result);
  if (!sent) return fail(a, "no answer");
  if (b.n != 0 && result < 0) return fail(a, "there is no item " + a->words[2]);
  send(a, a->dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b.control), b.box->selection_changed),
       reinterpret_cast<LPARAM>(b.control), nullptr);
  return done(a, b.n ? "selected" : "selection cleared");
}

bool act_items(Action* a) {
  Box b;
  if (!box_arguments(a, &b)) return false;
  LRESULT count = box_count(a, b.control, b.box);
  std::string out = std::to_string(count) + " items";
  for (LRESULT i = 1; i <= count; ++i) {
    std::string text;
    box_item(a, b.control, b.box, static_cast<long>(i), &text);
    out += (i == 1 ? ": " : ", ") + quoted(text);
  }
  return done(a, out);
}

bool act_expect_count(Action* a) {
  Box b;
  if (!box_arguments(a, &b)) return false;
  LRESULT seen = 0;
  if (wait_until(a, [&] { return (seen = box_count(a, b.control, b.box)) == b.n; })) return done(a, "held");
  return fail(a, "control " + a->words[1] + " holds " + std::to_string(seen) + " items");
}

bool act_expect_item(Action* a) {
  Box b;
  if (!box_arguments(a, &b)) return false;
  std::string seen;
  bool exists = false;
  if (wait_until(a, [&] { return (exists = box_item(a, b.control, b.box, b.n, &seen)) && seen == a->words[3]; }))
    return done(a, "shown");
  return fail(a, exists ? "item " + a->words[2] + " is " + quoted(seen)
                        : "there is no item " + a->words[2]);
}

bool act_expect_selected(Action* a) {
  Box b;
  if (!box_arguments(a, &b)) return false;
  long seen = 0;
  if (wait_until(a, [&] { return (seen = box_selected(a, b.control, b.box)) == b.n; }))
    return done(a, b.n ? "selected" : "nothing selected");
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
  RECT r = remote::control_rect(a->dialog, control);
  a->driver->readings[id] = r;
  return done(a, rect_text(r));
}

namespace {

// One change of expect-rect-change: a number of pixels, or cw / ch, the client area's change of
// width / height since its last reading.
bool change_of(Action* a, const std::string& word, long* change) {
  if (number_of(word.c_str(), change)) return true;
  if (word != "cw" && word != "ch") return fail(a, quoted(word) + " is no number, cw or ch");
  const std::map<long, RECT>& readings = a->driver->readings;
  auto client = readings.find(-1);
  if (client == readings.end()) return fail(a, word + " needs an earlier reading of the client area (rect -1)");
  RECT now = remote::control_rect(a->dialog, nullptr), then = client->second;
  *change = word == "cw" ? (now.right - now.left) - (then.right - then.left)
                         : (now.bottom - now.top) - (then.bottom - then.top);
  return true;
}

// Within `slack` pixels.
bool within(long seen, long want, long slack) { return labs(seen - want) <= slack; }

}  // namespace

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
  POINT place = remote::units_to_pixels(x, y), size = remote::units_to_pixels(w, h);
  RECT want = {place.x, place.y, place.x + size.x, place.y + size.y}, seen = {};
  if (wait_until(a, [&] {
        seen = remote::control_rect(a->dialog, control);
        return EqualRect(&seen, &want) != 0;
      }))
    return done(a, rect_text(seen));
  char text[80];
  snprintf(text, sizeof text, " (want %ld,%ld %ldx%ld pixels)", want.left, want.top,
           want.right - want.left, want.bottom - want.top);
  return fail(a, "it is " + rect_text(seen) + text);
}

bool act_expect_rect_change(Action* a) {
  long id = 0, dx, dy, dw, dh;
  number_of(a->words[1].c_str(), &id);
  HWND control = nullptr;
  if (id != -1 && !control_of(a, 1, &control)) return false;
  auto earlier = a->driver->readings.find(id);
  if (earlier == a->driver->readings.end())
    return fail(a, "no earlier reading of it: rect " + a->words[1] + " first");
  if (!change_of(a, a->words[2], &dx) || !change_of(a, a->words[3], &dy) ||
      !change_of(a, a->words[4], &dw) || !change_of(a, a->words[5], &dh))
    return false;
  // A change that follows the client area's is met to the dialog unit: a layout in dialog units
  // rounds the client size to whole units before it places anything.
  POINT unit = remote::units_to_pixels(1, 1);
  auto slack = [&](size_t i, long per_unit) { return a->words[i][0] == 'c' ? per_unit : 0L; };
  long sx = slack(2, unit.x), sy = slack(3, unit.y), sw = sx + slack(4, unit.x), sh = sy + slack(5, unit.y);
  RECT then = earlier->second, seen = {};
  RECT want = {then.left + dx, then.top + dy, then.right + dx + dw, then.bottom + dy + dh};
  if (wait_until(a, [&] {
        seen = remote::control_rect(a->dialog, control);
        return within(seen.left, want.left, sx) && within(seen.top, want.top, sy) &&
               within(seen.right, want.right, sw) && within(seen.bottom, want.bottom, sh);
      }))
    return done(a, rect_text(seen));
  char text[160];
  snprintf(text, sizeof text, " (want %ld,%ld %ldx%ld pixels: %+ld,%+ld %+ldx%+ld from %ld,%ld %ldx%ld)",
           want.left, want.top, want.right - want.left, want.bottom - want.top, dx, dy, dw, dh,
           then.left, then.top, then.right - then.left, then.bottom - then.top);
  return fail(a, "it is " + rect_text(seen) + text);
}

// Waits for the program to end with exit code `expected` (argument 1 when given, else 0).
bool act_expect_exit(Action* a) {
  const Driver* d = a->driver;
  long expected = 0;
  if (a->words.size() > 1) number_of(a->words[1].c_str(), &expected);
  if (!d->caption_known) return fail(a, "no program yet: begin with wait CAPTION or wait-any");
  if (!d->program) return fail(a, "cannot watch the program's process");
  if (WaitForSingleObject(d->program, d->wait_ms) != WAIT_OBJECT_0)
    return fail(a, "the program still runs " + std::to_string(d->wait_ms / 1000) + " s later");
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(d->program, &code);
  std::string outcome = "ended with exit code " + std::to_string(code);
  return code == static_cast<DWORD>(expected) ? done(a, outcome) : fail(a, outcome);
}

bool act_close(Action* a) {
  PostMessageA(a->dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return act_expect_exit(a);
}

bool act_timeout(Action* a) {
  long seconds = 0;
  number_of(a->words[1].c_str(), &seconds);
  if (seconds < 1) seconds = 1;  // the program needs a moment to answer any message at all
  a->driver->wait_ms = a->driver->first_wait_ms = static_cast<DWORD>(seconds) * 1000;
  return done(a, "waits up to " + std::to_string(seconds) + " s");
}

// wait and wait-any: the dialog found becomes the one the actions after it act on, by its caption.
bool act_wait(Action* a) {
  Driver* d = a->driver;
  bool any = a->words.size() == 1;
  HWND dialog = remote::dialog_find(any ? nullptr : a->words[1].c_str(), dialog_wait_ms(d));
  if (!dialog) return fail(a, "no such dialog appeared; " + captions_seen());
  d->caption = window_caption(dialog);
  d->caption_known = d->found_once = true;
  DWORD process = 0;
  GetWindowThreadProcessId(dialog, &process);
  if (d->program) CloseHandle(d->program);
  d->program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  std::string outcome = "found, process " + std::to_string(process);
  return done(a, any ? quoted(d->caption) + " " + outcome : outcome);
}
