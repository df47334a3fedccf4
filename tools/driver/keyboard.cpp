// dialogkit-driver's actions of the keyboard and the focus: keys and typing with the dialog in
// front, the focus moved as the dialog manager moves it, and what has it; an open menu.
#include "tools/driver/driver.hpp"

namespace {

struct KeyName {
  const char* name;
  WORD key;
};
const KeyName key_names[] = {
    {"Enter", VK_RETURN}, {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Esc", VK_ESCAPE},
    {"Tab", VK_TAB},      {"Space", VK_SPACE},   {"Backspace", VK_BACK}, {"Delete", VK_DELETE},
    {"Insert", VK_INSERT}, {"Home", VK_HOME},    {"End", VK_END},        {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT}, {"Up", VK_UP},        {"Down", VK_DOWN},      {"Left", VK_LEFT},
    {"Right", VK_RIGHT},
};

// The virtual key of a key's name ("Tab", "F5", "x"); 0 for none.
WORD key_named(const std::string& name) {
  for (const KeyName& k : key_names)
    if (lstrcmpiA(name.c_str(), k.name) == 0) return k.key;
  long n = 0;
  if (name.size() > 1 && (name[0] == 'F' || name[0] == 'f') && number_of(name.c_str() + 1, &n) &&
      n >= 1 && n <= 24)
    return static_cast<WORD>(VK_F1 + n - 1);
  if (name.size() != 1) return 0;
  char c = name[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? static_cast<WORD>(c) : 0;
}

// The modifier of a name before a "+"; 0 for none.
WORD modifier_named(const std::string& name) {
  if (lstrcmpiA(name.c_str(), "Shift") == 0) return VK_SHIFT;
  if (lstrcmpiA(name.c_str(), "Ctrl") == 0 || lstrcmpiA(name.c_str(), "Control") == 0) return VK_CONTROL;
  if (lstrcmpiA(name.c_str(), "Alt") == 0) return VK_MENU;
  return 0;
}

// The keys of a name as the key action takes it, "Shift+Tab" or "Alt+F": the modifiers, then the
// key, in the order they are pressed; false for a name it does not know.
bool keys_named(const std::string& text, std::vector<WORD>* keys) {
  size_t start = 0, plus;
  while ((plus = text.find('+', start)) != std::string::npos) {
    WORD modifier = modifier_named(text.substr(start, plus - start));
    if (!modifier) return false;
    keys->push_back(modifier);
    start = plus + 1;
  }
  WORD key = key_named(text.substr(start));
  if (key) keys->push_back(key);
  return key != 0;
}

bool key_is_extended(WORD key) {
  switch (key) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: return true;
    default: return false;
  }
}

INPUT key_input(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key_is_extended(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

// Waits until the program has taken the input handed to it: each message sent to it is answered
// at its next look at its queue, after it has handled what that look took out (a key, then the
// character it translates to), so as many answers as there are inputs, and two more.
void input_wait_taken(Action* a, size_t inputs) {
  for (size_t i = 0; i < 2 * inputs + 2; ++i) send(a, a->dialog, WM_NULL, 0, 0, nullptr);
}

// The dialog's window in front, so that the keyboard's input goes to its program: the system
// hands keys to the foreground window's thread, and within it to the window with the focus.
bool dialog_to_front(Action* a) {
  if (GetForegroundWindow() == a->dialog) return true;
  SetForegroundWindow(a->dialog);
  if (wait_until(a, [&] { return GetForegroundWindow() == a->dialog; })) {
    input_wait_taken(a, 0);  // the activation, and the focus it gives, handled
    return true;
  }
  return fail(a, "the dialog does not come to the front; in front: " +
                     quoted(remote::window_caption(GetForegroundWindow())));
}

// The inputs handed to the dialog's program, with the dialog in front, and taken.
bool input_send(Action* a, std::vector<INPUT>* inputs) {
  if (!dialog_to_front(a)) return false;
  UINT sent = SendInput(static_cast<UINT>(inputs->size()), inputs->data(), sizeof(INPUT));
  input_wait_taken(a, inputs->size());
  return sent == inputs->size() ? true : fail(a, "the system took no keyboard input");
}

// The control of the dialog that holds the focus of the dialog's thread: a control's own child
// (a combo box's text box) counts as the control.
HWND focus_of(HWND dialog, bool* outside) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  *outside = false;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || !info.hwndFocus)
    return nullptr;
  HWND control = info.hwndFocus;
  while (control && GetParent(control) != dialog) control = GetParent(control);
  if (!control) *outside = info.hwndFocus != dialog;
  return control;
}

std::string focus_text(HWND dialog) {
  bool outside = false;
  HWND control = focus_of(dialog, &outside);
  if (!control) return outside ? "a window outside the dialog" : "nothing in the dialog";
  char class_name[64] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  return "control " + std::to_string(GetDlgCtrlID(control)) + " (" + class_name + ")";
}

// Whether the program of `dialog` shows an open menu: a visible window of the menus' class.
bool menu_is_open(HWND dialog) {
  DWORD process = remote::window_process(dialog);
  for (HWND window : remote::top_level_windows())
    if (remote::window_process(window) == process && IsWindowVisible(window) &&
        remote::window_has_class(window, "#32768"))
      return true;
  return false;
}

// Each character as the keyboard hands it over (VK_PACKET): the program's message loop
// translates it to WM_CHAR for the control with the focus.
bool type_text(Action* a, const std::string& text) {
  const std::wstring wide = remote::wide_of(text);
  std::vector<INPUT> inputs;
  for (size_t i = 0; i < wide.size(); ++i) {
    for (bool up : {false, true}) {
      INPUT input = {};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = wide[i];
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  if (!inputs.empty() && !input_send(a, &inputs)) return false;
  return done(a, "typed into " + focus_text(a->dialog));
}

// The dialog manager's own way to move the focus (WM_NEXTDLGCTL), which also makes a push button
// the default one while it has the focus, as Tab does.
bool control_focus(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  if (!IsWindowVisible(control) || !IsWindowEnabled(control))
    return fail(a, "control " + a->words[1] + " is hidden or disabled");
  send(a, a->dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, nullptr);
  bool outside = false;
  if (!wait_until(a, [&] { return focus_of(a->dialog, &outside) == control; }))
    return fail(a, "the focus stays on " + focus_text(a->dialog));
  return true;
}

}  // namespace

bool act_key(Action* a) {
  std::vector<WORD> keys;
  if (!keys_named(a->words[1], &keys)) return fail(a, "no key of that name");
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(key_input(key, false));
  for (size_t i = keys.size(); i-- > 0;) inputs.push_back(key_input(keys[i], true));
  std::vector<HWND> before = dialogs_of(a->dialog);
  if (!input_send(a, &inputs)) return false;
  HWND opened = dialog_opened(a->dialog, before);
  return done(a, opened ? "pressed; " + opened_text(opened) : "pressed");
}

bool act_type(Action* a) { return type_text(a, a->words[1]); }

bool act_focus(Action* a) { return control_focus(a) && done(a, "focused"); }

bool act_type_into(Action* a) { return control_focus(a) && type_text(a, a->words[2]); }

bool act_front(Action* a) { return dialog_to_front(a) && done(a, "in front, focus on " + focus_text(a->dialog)); }

bool act_focused(Action* a) { return done(a, focus_text(a->dialog)); }

bool act_expect_focus(Action* a) {
  HWND control;
  if (!control_of(a, 1, &control)) return false;
  bool outside = false;
  if (wait_until(a, [&] { return focus_of(a->dialog, &outside) == control; })) return done(a, "focused");
  return fail(a, "the focus is on " + focus_text(a->dialog));
}

bool act_expect_menu(Action* a) {
  if (wait_until(a, [&] { return menu_is_open(a->dialog); })) return done(a, "a menu is open");
  return fail(a, "no menu is open");
}
