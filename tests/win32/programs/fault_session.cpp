// A program on the toolkit whose imports fail in turn (fault_plan.hpp): before its entry point
// runs, the program's own import slots of the chosen functions are pointed at stand-ins that
// count every call and refuse the chosen ones the way the system refuses them when it has no
// resources (a null handle or FALSE, nothing done); the others go on to the system. Start-up's
// own allocation is counted too. Then a short session uses most of the toolkit: a resizable
// dialog with a menu bar, eight controls and a layout table with a size grip, texts built from
// literals, numbers and joins, list and combo items, an image and a cursor, a modeless
// sub-dialog, a modal one that its callback ends on WM_CLOSE, resizes, maximise and restore,
// and File > Exit. The session checks what it can see at each step against what the toolkit
// promises after a refusal, and the report, written as the process exits, says what it found.
#include <windows.h>
#include <oleauto.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/numtext.hpp"
#include "dialogkit/runtime/startup.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/programs/before_entry.hpp"
#include "tests/win32/programs/fault_plan.hpp"
#include "dialogkit/toolkit/controls.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "dialogkit/toolkit/layout.hpp"
#include "dialogkit/toolkit/menus.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

namespace {

// ---- The plan and the report ----

uint32_t plan_kind = FAULT_KIND_COUNT, plan_first, plan_every;
char report_path[MAX_PATH];
FaultReport report;

bool refuse(uint32_t kind) {
  uint32_t n = ++report.calls[kind];
  bool no = kind == plan_kind && (plan_every ? n >= plan_first : n == plan_first);
  if (no) {
    ++report.refused;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return no;
}

template <uint32_t Kind, typename F>
struct StandIn;
template <uint32_t Kind, typename R, typename... A>
struct StandIn<Kind, R(WINAPI*)(A...)> {
  static R(WINAPI* real)(A...);
  static R WINAPI call(A... a) { return refuse(Kind) ? R() : real(a...); }
};
template <uint32_t Kind, typename R, typename... A>
R(WINAPI* StandIn<Kind, R(WINAPI*)(A...)>::real)(A...);

bool same_name(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'A' && *a <= 'Z') ? *a + 32 : *a, y = (*b >= 'A' && *b <= 'Z') ? *b + 32 : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// Points the program's import slot of `function` from `module` at `stand_in`; the system's
// function, or none when the program does not import it.
void* import_patch(const char* module, const char* function, void* stand_in) {
  unsigned char* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  void* real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), function));
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (!same_name(reinterpret_cast<char*>(base + d->Name), module)) continue;
    for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t) {
      if (reinterpret_cast<void*>(t->u1.Function) != real) continue;
      DWORD old;
      VirtualProtect(&t->u1.Function, sizeof t->u1.Function, PAGE_READWRITE, &old);
      t->u1.Function = reinterpret_cast<ULONG_PTR>(stand_in);
      VirtualProtect(&t->u1.Function, sizeof t->u1.Function, old, &old);
    }
  }
  return real;
}

template <uint32_t Kind, typename F>
void stand_in(const char* module, const char* name) {
  StandIn<Kind, F>::real = reinterpret_cast<F>(
      import_patch(module, name, reinterpret_cast<void*>(&StandIn<Kind, F>::call)));
}

void report_write(UINT exit_code) {
  report.magic = FAULT_REPORT_MAGIC;
  report.exit_code = exit_code;
  HANDLE file = CreateFileA(report_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, &report, sizeof report, &written, nullptr);
  CloseHandle(file);
}

decltype(&ExitProcess) real_exit;
void WINAPI exit_with_report(UINT code) {
  report_write(code);
  real_exit(code);
}

// A crash ends the process at once with a code of its own, instead of a debugger's dialog.
LONG WINAPI crashed(EXCEPTION_POINTERS*) {
  real_exit(0xC0DE);
  return EXCEPTION_EXECUTE_HANDLER;
}

const char* skip_blanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}
const char* read_number(const char* p, uint32_t* n) {
  p = skip_blanks(p);
  *n = 0;
  while (*p >= '0' && *p <= '9') *n = *n * 10 + static_cast<uint32_t>(*p++ - '0');
  return p;
}

void plan_read() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ') ++p;
  }
  p = read_number(p, &plan_kind);
  p = read_number(p, &plan_first);
  p = read_number(p, &plan_every);
  p = skip_blanks(p);
  int i = 0;
  while (*p && i < MAX_PATH - 1) report_path[i++] = *p++;
  report_path[i] = 0;
}

#define FAULT_STAND_IN(name, module) stand_in<FAULT_##name, decltype(&name)>(module, #name);

void install() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(crashed);
  plan_read();
  real_exit = reinterpret_cast<decltype(&ExitProcess)>(
      import_patch("kernel32.dll", "ExitProcess", reinterpret_cast<void*>(exit_with_report)));
  FAULT_KINDS(FAULT_STAND_IN)
}

}  // namespace

BEFORE_ENTRY(install);

namespace {

// ---- The session ----

enum : int32_t {
  ID_LABEL = 100, ID_TEXT = 101, ID_LIST = 102, ID_COMBO = 103, ID_CHECK = 104, ID_IMAGE = 105,
  ID_OK = 106, ID_OTHER = 107, ID_GRIP = 108, ID_SUB_LABEL = 109, ID_EXIT = 200,
};

const LayoutRow rows[] = {
    {ID_LIST, 0, {0, 7}, {0, 30}, {0.5f, -3}, {1, -28}},
    {ID_TEXT, 0, {0.5f, 3}, {0, 30}, {1, -7}, {1, -28}},
    {ID_OK, LAYOUT_SIZE, {1, -70}, {1, -21}, {0, 50}, {0, 14}},
};
const DialogLayout layout = {rows, 3, {0, 0}, {0, 0}, ID_GRIP};

bool attached;

uint32_t checks;  // checks made so far

void wrong(uint32_t what) {
  if (!report.wrong) report.first_wrong_check = checks;
  report.wrong |= what;
}
uint32_t refused_strings() { return plan_kind == FAULT_SysAllocStringByteLen ? report.refused : 0; }

bool same_text(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

HWND add(HWND dialog, int32_t kind, int32_t id, const char* text, int32_t x, int32_t y, int32_t w, int32_t h,
         uint32_t style = 0) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  temp_push_empty(&frame);
  return control_add(&frame, kind, dialog, id, nullptr, x, y, w, h, style, 0, nullptr);
}

// A statement's outcome: with no string refused, the control shows `whole` and no error is
// pending; with one refused, the operations that raise have recorded ERR_OUT_OF_MEMORY and the
// others nothing, and a text made by the others alone is empty.
void check_statement(ProcedureFrame* frame, uint32_t refused_before, bool raises, HWND dialog, int32_t id,
                     const char* whole) {
  ++checks;
  bool failed = refused_strings() != refused_before;
  ErrorCode error = error_take(frame);
  if (error != ((failed && raises) ? ERR_OUT_OF_MEMORY : ERR_NONE)) wrong(WRONG_ERROR);
  HWND control = GetDlgItem(dialog, id);
  if (!control) return;
  char text[64] = "";
  GetWindowTextA(control, text, sizeof text);
  if (!failed && !same_text(text, whole)) wrong(WRONG_TEXT);
  if (failed && !raises && text[0]) wrong(WRONG_TEXT);
}

// A text read back: exact, or empty when a string was refused.
void check_read(ProcedureFrame* frame, uint32_t refused_before, const char* expected) {
  ++checks;
  StringView got = temp_view(frame, 0);
  bool failed = refused_strings() != refused_before;
  if (got.length ? !same_text(got.data, expected) : (!failed && expected[0])) wrong(WRONG_TEXT);
  temp_pop_free(frame);
  if (error_take(frame) != ERR_NONE) wrong(WRONG_ERROR);
}

void check_layout(HWND dialog) {
  ++checks;
  if (!attached) return;
  RECT client;
  GetClientRect(dialog, &client);
  UnitPair units = pixels_to_units(dialog, client.right, client.bottom);
  for (const LayoutRow& row : rows) {
    HWND control = GetDlgItem(dialog, row.id);
    if (!control) continue;
    UnitRect u = layout_place(row, units);
    UnitPair at = units_to_pixels(dialog, u.x, u.y), size = units_to_pixels(dialog, u.width, u.height);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (r.left != at.x || r.top != at.y || r.right - r.left != size.x || r.bottom - r.top != size.y)
      wrong(WRONG_PLACE);
  }
  HWND grip = GetDlgItem(dialog, ID_GRIP);
  if (grip && IsZoomed(dialog) && IsWindowVisible(grip)) wrong(WRONG_GRIP);
}

// The modal sub-dialog: it asks to be closed as soon as it runs, and its callback ends it on
// WM_CLOSE with its own result, inside the ending the close request began.
INT_PTR CALLBACK modal_callback(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (message == WM_CLOSE) dialog_end(dialog, 43);
  return 0;
}

INT_PTR CALLBACK exit_chosen(HWND dialog, UINT, WPARAM, LPARAM) {
  dialog_end(dialog, 7);
  return 1;
}

void session_texts(HWND dialog) {
  ProcedureFrame frame = {};
  uint32_t before = refused_strings();
  temp_push_copy_raising(&frame, "Width = ", 8);
  number_to_text(&frame, 640);
  string_join(&frame);
  temp_push_copy_raising(&frame, " pixels", 7);
  string_join(&frame);
  control_set_text(&frame, dialog, ID_TEXT);
  check_statement(&frame, before, true, dialog, ID_TEXT, "Width =  640 pixels");

  before = refused_strings();
  temp_push_cstring(&frame, "Fruit");
  control_set_text(&frame, dialog, ID_LABEL);
  check_statement(&frame, before, false, dialog, ID_LABEL, "Fruit");

  // Without the label, no text at all (Wine's GetWindowTextA of no window may answer anything).
  char label[16] = "";
  if (HWND control = GetDlgItem(dialog, ID_LABEL)) GetWindowTextA(control, label, sizeof label);
  before = refused_strings();
  window_get_text(&frame, GetDlgItem(dialog, ID_LABEL));
  check_read(&frame, before, label);

  const char* const fruits[] = {"Apple", "Banana"};
  for (const char* fruit : fruits) {
    temp_push_cstring(&frame, fruit);
    list_add(&frame, dialog, ID_LIST);
    temp_push_cstring(&frame, fruit);
    combo_add(&frame, dialog, ID_COMBO);
  }
  list_select(dialog, ID_LIST, 2);
  combo_select(dialog, ID_COMBO, 2);
  char item[16] = "";
  SendMessageA(GetDlgItem(dialog, ID_LIST), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
  before = refused_strings();
  list_get_selected_text(&frame, dialog, ID_LIST);
  check_read(&frame, before, item);
  if (error_take(&frame) != ERR_NONE) wrong(WRONG_ERROR);

  temp_push_cstring(&frame, "TESTBITMAP");
  control_set_image(&frame, dialog, ID_IMAGE, 1);
  cursor_set(1);
  button_set_check(dialog, ID_CHECK, BST_CHECKED);
}

void session_sub_dialogs(HWND dialog) {
  ProcedureFrame frame = {};
  // The forms with C strings, here; the main dialog's are on the temporaries.
  HWND modeless = dialog_create(dialog, "Modeless", 20, 20, 100, 40);
  control_add(modeless, CONTROL_LABEL, ID_SUB_LABEL, "Working", 4, 4, 80, 10);
  dialog_show_modeless(modeless, nullptr, nullptr);
  temp_push_cstring(&frame, "Still working");
  window_set_text(&frame, modeless);
  dialog_end(modeless, 1);
  if (IsWindow(modeless)) wrong(WRONG_WINDOW_LEFT);

  temp_push_cstring(&frame, "Modal");
  HWND modal = dialog_create(&frame, dialog, 30, 30, 100, 40, 0, 0);
  int32_t result = 0;
  dialog_show_modal(modal, modal_callback, &result);
  if (modal && result != 43) wrong(WRONG_RESULT);
  if (!IsWindowEnabled(dialog)) wrong(WRONG_OWNER_DISABLED);
  if (error_take(&frame) != ERR_NONE) wrong(WRONG_ERROR);
}

void session_sizes(HWND dialog) {
  SetWindowPos(dialog, nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  check_layout(dialog);
  ShowWindow(dialog, SW_MAXIMIZE);
  check_layout(dialog);
  ShowWindow(dialog, SW_RESTORE);
  check_layout(dialog);
}

INT_PTR CALLBACK main_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageA(dialog, WM_APP, 0, 0);
  if (message == WM_APP) {
    session_texts(dialog);
    session_sub_dialogs(dialog);
    session_sizes(dialog);
    PostMessageA(dialog, WM_COMMAND, ID_EXIT, 0);
    return 1;
  }
  // File > Exit when the menu could not be made: the command reaches the dialog's callback.
  if (message == WM_COMMAND && LOWORD(wparam) == ID_EXIT) {
    dialog_end(dialog, 7);
    return 1;
  }
  return 0;
}

BOOL CALLBACK count_dialog(HWND window, LPARAM count) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (same_text(name, "#32770")) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Fault session");
  HWND dialog = dialog_create(&frame, nullptr, 10, 10, 240, 150, WS_OVERLAPPEDWINDOW, 0);
  add(dialog, CONTROL_LABEL, ID_LABEL, "Label", 7, 7, 60, 10);
  add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "", 0, 0, 0, 0);
  // A list box of the height the table gives it, not rounded down to whole items.
  add(dialog, CONTROL_LIST_BOX, ID_LIST, "", 0, 0, 0, 0, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
  add(dialog, CONTROL_COMBO_BOX, ID_COMBO, "", 70, 6, 60, 60);
  add(dialog, CONTROL_CHECK_BOX, ID_CHECK, "&Check", 135, 7, 40, 10);
  add(dialog, CONTROL_IMAGE, ID_IMAGE, "TESTBITMAP", 180, 4, 20, 12);
  add(dialog, CONTROL_PUSH_BUTTON, ID_OK, "OK", 0, 0, 0, 0);
  add(dialog, CONTROL_PUSH_BUTTON, ID_OTHER, "&Other", 7, 18, 40, 10);

  HMENU file = menu_create(1);
  temp_push_cstring(&frame, "E&xit");
  menu_insert_item(&frame, file, 0, 1, 0, ID_EXIT, exit_chosen);
  HMENU bar = menu_create(0);
  temp_push_cstring(&frame, "&File");
  menu_insert_item(&frame, bar, MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(file), nullptr);
  if (!menu_attach(dialog, bar) && bar) DestroyMenu(bar);

  uint32_t refused_before = report.refused;
  attached = layout_attach(dialog, &layout);
  bool cause = report.refused != refused_before &&
               (plan_kind == FAULT_GlobalAlloc || plan_kind == FAULT_SetPropA);
  if (dialog && !attached && !cause) wrong(WRONG_ATTACH);
  check_layout(dialog);
  if (error_take(&frame) != ERR_NONE) wrong(WRONG_ERROR);

  dialog_show_modal(dialog, main_callback, nullptr);
  int left = 0;
  EnumThreadWindows(GetCurrentThreadId(), count_dialog, reinterpret_cast<LPARAM>(&left));
  if (left) wrong(WRONG_WINDOW_LEFT);
  report.session_ended = 1;
  return 0;
}
