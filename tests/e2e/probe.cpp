// Drives a running resizing.exe from outside, as a user's system would, for what is particular
// to it and beyond dialogkit-driver's actions: every expectation computed here from its layout
// rule, with the dialog-unit scale of tools/remote/; the show states of its start-up
// information; the holdings verdict over soaks of resizes and rounds of hostile input; the
// layout example's table checked by its rules. The examples' own tests use the driver.
//
//   probe check [DPI]    verify the screen's resolution (96 unless given), the initial size and
//                        the dialog over a series of resizes; print "BACKGROUND x y"
//   probe layout-check [DPI]
//                        the same for the layout example (examples/layout): its start size, every
//                        control and its size grip where its table's rules put them over a series
//                        of resizes, one below its least size, which it must keep; maximised
//   probe soak N SEED    N random resizes, the report checked after each; what the program holds
//                        may step once and not grow with the resizes
//   probe resize W H     resize the dialog's outer window to W by H pixels, and wait until it
//                        has answered
//   probe holdings       print the GDI objects and the private memory the program holds
//   probe showstates EXE start EXE hidden, then minimised, by its start-up information: the
//                        dialog must appear restored each time; close it
//   probe bench EXE N    start EXE, time until its dialog is visible, then time N resizes
//   probe hostile ROUNDS DRAWS SEED
//                        ROUNDS times the same DRAWS draws from SEED of a mix of messages without
//                        pointers in their parameters, posted and sent to the dialog and its
//                        controls; at checkpoints the dialog must be alive, answer, have its two
//                        controls and show the report and layout of its real client size; after
//                        the first round its GDI objects may step once and not grow with the
//                        rounds, nor its private memory
#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <stdint.h>

#include <string>

#include "tools/remote/remote_dialog.hpp"

namespace {

using remote::control_rect;
using remote::pixels_to_units;
using remote::units_to_pixels;

int failures = 0;
#define CHECK(cond, ...)                              \
  do {                                                \
    if (!(cond)) {                                    \
      ++failures;                                     \
      printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond); \
      printf(__VA_ARGS__);                            \
      printf("\n");                                   \
    }                                                 \
  } while (0)

const int ID_REPORT = 101, ID_BUTTON = 201;

// n times a single-precision factor, formed exactly in extended precision, rounded to nearest
// with ties to even.
int scaled(int n, float f) { return static_cast<int>(nearbyintl(static_cast<long double>(n) * f)); }

struct Layout { RECT report, button; };
Layout expected_layout(int w, int h) {
  POINT u = pixels_to_units(w, h);
  auto rect = [](int x, int y, int cx, int cy) {
    POINT p = units_to_pixels(x, y), s = units_to_pixels(cx, cy);
    return RECT{p.x, p.y, p.x + s.x, p.y + s.y};
  };
  return {rect(scaled(u.x, 0.1f), scaled(u.y, 0.05f), scaled(u.x, 0.8f), scaled(u.y, 0.4f)),
          rect(scaled(u.x, 0.1f), scaled(u.y, 0.65f), scaled(u.x, 0.8f), scaled(u.y, 0.2f))};
}

std::string expected_report(int w, int h) {
  return "Width =  " + std::to_string(w) + " pixels \r\nHeight =  " + std::to_string(h) + " pixels";
}

std::string rect_text(const RECT& r) {
  char s[80];
  snprintf(s, sizeof s, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return s;
}
bool rect_equal(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

// How long to wait for the dialog to appear: a minute and a half, for a 32-bit Wine that runs
// under an emulator, where starting a process takes many seconds.
const DWORD DIALOG_WAIT_MS = 90000;
// How long a text read from the program waits for its answer.
const DWORD TEXT_WAIT_MS = 5000;

HWND resizing_dialog(DWORD timeout_ms) { return remote::dialog_find("Resizing", timeout_ms); }

std::string text_of(HWND window) { return remote::window_text(window, TEXT_WAIT_MS); }

// The report and the layout for the dialog's current client size; the application answers the
// size notification on its own thread, so allow it a moment (up to 5 s, for an emulated Wine).
bool verify_state(HWND dialog, const char* when) {
  HWND report = GetDlgItem(dialog, ID_REPORT), button = GetDlgItem(dialog, ID_BUTTON);
  RECT client;
  std::string text;
  Layout want;
  for (int tries = 0; tries < 250; ++tries) {
    GetClientRect(dialog, &client);
    text = text_of(report);
    want = expected_layout(client.right, client.bottom);
    if (text == expected_report(client.right, client.bottom) && rect_equal(control_rect(dialog, report), want.report) &&
        rect_equal(control_rect(dialog, button), want.button))
      return true;
    Sleep(20);
  }
  int before = failures;
  CHECK(text == expected_report(client.right, client.bottom), "%s: report \"%s\" for %ldx%ld", when,
        text.c_str(), client.right, client.bottom);
  CHECK(rect_equal(control_rect(dialog, report), want.report), "%s: text box %s, want %s", when,
        rect_text(control_rect(dialog, report)).c_str(), rect_text(want.report).c_str());
  CHECK(rect_equal(control_rect(dialog, button), want.button), "%s: button %s, want %s", when,
        rect_text(control_rect(dialog, button)).c_str(), rect_text(want.button).c_str());
  return failures == before;
}

void resize_to(HWND dialog, int cx, int cy) {
  SetWindowPos(dialog, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The screen's resolution is `dpi`, the dialog's fonts scaled to it, and the dialog starts at
// 105 by 90 of its units.
void check_resolution_and_initial_size(HWND dialog, int dpi) {
  HDC screen = GetDC(nullptr);
  int dpi_x = GetDeviceCaps(screen, LOGPIXELSX), dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  CHECK(dpi_x == dpi && dpi_y == dpi, "the screen has %d by %d dpi, not %d", dpi_x, dpi_y, dpi);
  // Eight vertical units are one line of the dialog's 8-point font: at least 8 points high.
  POINT line = units_to_pixels(4, 8);
  CHECK(line.y * 72 >= 8 * dpi, "a line of the dialog font is %ld pixels at %d dpi", line.y, dpi);
  RECT client;
  GetClientRect(dialog, &client);
  POINT want = units_to_pixels(105, 90);
  printf("at %d dpi: 4 by 8 units are %ld by %ld pixels; the client area is %ld by %ld\n", dpi,
         line.x, line.y, client.right, client.bottom);
  CHECK(client.right == want.x && client.bottom == want.y,
        "initial client area %ldx%ld, want 105 by 90 units: %ldx%ld", client.right, client.bottom,
        want.x, want.y);
}

int resizing_check(int dpi) {
  HWND dialog = resizing_dialog(DIALOG_WAIT_MS);
  CHECK(dialog != nullptr, "no visible window titled Resizing");
  if (!dialog) return 1;
  check_resolution_and_initial_size(dialog, dpi);
  // Centred on the screen (the work area, as the system centres dialogs).
  RECT outer, work;
  GetWindowRect(dialog, &outer);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  long dx = (outer.left + outer.right) / 2 - (work.left + work.right) / 2;
  long dy = (outer.top + outer.bottom) / 2 - (work.top + work.bottom) / 2;
  CHECK(labs(dx) <= 2 && labs(dy) <= 2, "dialog %s is not centred in %s", rect_text(outer).c_str(), rect_text(work).c_str());
  CHECK((GetWindowLongA(dialog, GWL_STYLE) & 0x00CF0000) == 0x00CF0000, "style %08lx",
        GetWindowLongA(dialog, GWL_STYLE));
  // The two controls, with their classes, identifiers and styles.
  char cls[64];
  HWND report = GetDlgItem(dialog, ID_REPORT), button = GetDlgItem(dialog, ID_BUTTON);
  CHECK(report && GetClassNameA(report, cls, sizeof cls) && lstrcmpiA(cls, "Edit") == 0, "text box class %s", cls);
  CHECK(button && GetClassNameA(button, cls, sizeof cls) && lstrcmpiA(cls, "Button") == 0, "button class %s", cls);
  CHECK(static_cast<DWORD>(GetWindowLongA(report, GWL_STYLE)) == 0x50001044u, "text box style %08lx",
        GetWindowLongA(report, GWL_STYLE));
  CHECK(GetWindowLongA(report, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, "text box ex-style %08lx",
        GetWindowLongA(report, GWL_EXSTYLE));
  CHECK(static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE)) == 0x50010000u, "button style %08lx",
        GetWindowLongA(button, GWL_STYLE));
  CHECK(text_of(button) == "This is a button", "button text %s", text_of(button).c_str());
  int count = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++count;
  CHECK(count == 2, "%d child windows", count);
  verify_state(dialog, "at start");
  // Resizes, odd sizes among them.
  const SIZE sizes[] = {{400, 300}, {333, 257}, {641, 479}, {201, 151}, {517, 389}, {250, 200}};
  for (const SIZE& s : sizes) {
    resize_to(dialog, s.cx, s.cy);
    char when[64];
    snprintf(when, sizeof when, "after resize to %ldx%ld", s.cx, s.cy);
    verify_state(dialog, when);
  }
  // Minimised: the client area is 0 by 0.
  ShowWindow(dialog, SW_MINIMIZE);
  for (int i = 0; i < 250 && text_of(report) != expected_report(0, 0); ++i) Sleep(20);
  CHECK(text_of(report) == expected_report(0, 0), "minimised: report \"%s\"", text_of(report).c_str());
  // Both controls are laid out at 0,0 with no size (their screen rectangles are empty).
  for (HWND control : {report, button}) {
    RECT r;
    GetWindowRect(control, &r);
    CHECK(r.right == r.left && r.bottom == r.top, "minimised control %s is not empty", rect_text(r).c_str());
  }
  ShowWindow(dialog, SW_RESTORE);
  verify_state(dialog, "after restore");
  // Pressing the button changes nothing.
  std::string before = text_of(report);
  RECT report_before = control_rect(dialog, report), button_before = control_rect(dialog, button);
  SendMessageA(button, BM_CLICK, 0, 0);
  Sleep(100);
  CHECK(text_of(report) == before, "the button changed the report");
  CHECK(rect_equal(control_rect(dialog, report), report_before) && rect_equal(control_rect(dialog, button), button_before),
        "the button moved the controls");
  CHECK(IsWindow(dialog), "the button ended the dialog");
  // A point of the client area that no control covers: between the text box and the button.
  Layout l = expected_layout(0, 0);
  RECT client;
  GetClientRect(dialog, &client);
  l = expected_layout(client.right, client.bottom);
  POINT p = {client.right / 2, (l.report.bottom + l.button.top) / 2};
  ClientToScreen(dialog, &p);
  printf("BACKGROUND %ld %ld\n", p.x, p.y);
  printf("%s: %d failures\n", failures ? "FAILED" : "ok", failures);
  return failures ? 1 : 0;
}

// What a process holds, read from outside: its GDI objects and its committed private memory.
//
// The GDI objects are counted in the handle table that the system shares with the process (the
// PEB's GdiSharedHandleTable): one entry per live object, stock objects marked. Wine keeps that
// table in its own layout (24-byte entries of up to 65536), fills it for every process, and
// answers 0 from GetGuiResources, which serves where the system keeps the count itself. The
// count is exact: any object a program creates and forgets shows, however small.
struct GdiHandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;  // bit 7: a stock object
  uint8_t type;     // 0: a free entry
  uint8_t flags;
  uint64_t user_pointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the handle table's entry");
const int GDI_TABLE_ENTRIES = 0x10000;

typedef LONG(WINAPI* QueryInformationProcess)(HANDLE, int, void*, ULONG, ULONG*);

// The table's address in the process: in its 64-bit PEB (also for a 32-bit process under WoW64),
// else in its 32-bit one. 0 when neither has it.
uint64_t gdi_table_address(HANDLE process) {
  auto query = reinterpret_cast<QueryInformationProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  if (!query) return 0;
  struct {
    LONG exit_status;
    void* peb;
    ULONG_PTR affinity, priority, pid, parent;
  } basic = {};
  uint64_t table = 0;
  SIZE_T read = 0;
  if (query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) == 0 && basic.peb)
    ReadProcessMemory(process, static_cast<char*>(basic.peb) + 0xF8, &table, 8, &read);
  if (table) return table;
  ULONG_PTR peb32 = 0;
  uint32_t table32 = 0;
  if (query(process, 26 /* ProcessWow64Information */, &peb32, sizeof peb32, nullptr) == 0 && peb32)
    ReadProcessMemory(process, reinterpret_cast<char*>(peb32) + 0x94, &table32, 4, &read);
  return table32;
}

// The process's GDI objects other than stock objects; -1 when they cannot be counted.
long gdi_objects(HANDLE process) {
  if (DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<long>(n);
  uint64_t table = gdi_table_address(process);
  if (!table) return -1;
  static GdiHandleEntry entries[GDI_TABLE_ENTRIES];
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries, sizeof entries, &read) ||
      read != sizeof entries)
    return -1;
  long n = 0;
  for (const GdiHandleEntry& e : entries)
    if (e.type != 0 && !(e.unique & 0x80)) ++n;
  return n;
}

// The process's committed private memory in kB: its heaps, stacks and private allocations.
long private_kb(HANDLE process) {
  MEMORY_BASIC_INFORMATION m;
  unsigned long long bytes = 0;
  for (char* p = nullptr; VirtualQueryEx(process, p, &m, sizeof m) == sizeof m; p = static_cast<char*>(m.BaseAddress) + m.RegionSize) {
    if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) bytes += m.RegionSize;
    if (static_cast<char*>(m.BaseAddress) + m.RegionSize <= p) break;
  }
  return static_cast<long>(bytes / 1024);
}

struct Holdings {
  long gdi, private_kb;
};
// How much a warm program's private memory may grow per slice of work: per hundred resizes of a
// soak, and per round of hostile input. What grows there is Wine's, not the program's: its edit
// control keeps about 32 kB more per round of typed characters and reports (measured: nothing
// grows when the report is built but not set into the text box); the program's own objects are
// counted exactly, apart.
const long PRIVATE_GROWTH_KB_PER_SLICE = 128;

// The verdict on what a program holds, read after each of several equal slices of the same work
// (readings[0] before the first). A leak grows with the work, so it shows in every slice. What
// Wine or the program makes once, on the first use of some message or size, and keeps, shows as
// one step, in whichever slice first reaches that use: later when the program runs slowly, as
// under an emulator. So one step is allowed and nothing more:
// - GDI objects: the count may rise above every earlier reading in one slice at most;
// - private memory: leaving out the slice that grew most, the others may grow by at most
//   PRIVATE_GROWTH_KB_PER_SLICE each.
// A leak of one object per slice is thus caught from the second slice on, whatever the first
// did; the planted leaks of scripts/mutants.txt (one brush per resize, one per 256 messages)
// fail it.
struct HoldingsVerdict {
  int rising_slices;   // slices in which the GDI count rose above every earlier reading
  long private_steps;  // private growth of all slices but the one that grew most, in kB
  long largest_step;   // that one's, in kB
};

HoldingsVerdict holdings_verdict(const Holdings* readings, int slices) {
  HoldingsVerdict v = {0, 0, 0};
  long highest = readings[0].gdi;
  for (int i = 1; i <= slices; ++i) {
    if (readings[i].gdi > highest) ++v.rising_slices, highest = readings[i].gdi;
    long step = readings[i].private_kb - readings[i - 1].private_kb;
    if (step <= 0) continue;
    v.private_steps += step;
    if (step > v.largest_step) v.largest_step = step;
  }
  v.private_steps -= v.largest_step;
  return v;
}

// Checks the verdict over the readings; WHAT names the slices ("round", "hundred resizes").
void check_holdings(const Holdings* readings, int slices, const char* what) {
  for (int i = 0; i <= slices; ++i) CHECK(readings[i].gdi >= 0, "the GDI objects cannot be counted");
  HoldingsVerdict v = holdings_verdict(readings, slices);
  printf("holdings over %d slices of a %s: gdi objects %ld -> %ld, rising in %d; private memory %ld kB -> "
         "%ld kB, the largest step %ld kB, the others %ld kB together\n",
         slices, what, readings[0].gdi, readings[slices].gdi, v.rising_slices, readings[0].private_kb,
         readings[slices].private_kb, v.largest_step, v.private_steps);
  CHECK(v.rising_slices <= 1, "the GDI objects rose in %d of %d slices of a %s: a leak", v.rising_slices, slices,
        what);
  long allowed = PRIVATE_GROWTH_KB_PER_SLICE * (slices - 1);
  CHECK(v.private_steps <= allowed,
        "private memory grew by %ld kB in the %d slices of a %s other than the largest step (at most %ld)",
        v.private_steps, slices - 1, what, allowed);
}

HANDLE open_process_of(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
}

// While it paints, a program holds a device context or a region for a moment; a forgotten object
// stays. So the GDI count is the least of several readings a little apart.
Holdings holdings_of(HANDLE process) {
  long gdi = gdi_objects(process);
  for (int i = 0; i < 4 && gdi >= 0; ++i) {
    Sleep(50);
    long again = gdi_objects(process);
    if (again >= 0 && again < gdi) gdi = again;
  }
  return {gdi, private_kb(process)};
}

// N random resizes in SOAK_SLICES equal slices, the report checked after each resize and what
// the program holds after each slice.
const int SOAK_SLICES = 3;

int soak(int n, unsigned seed) {
  HWND dialog = resizing_dialog(DIALOG_WAIT_MS);
  CHECK(dialog != nullptr, "no visible window titled Resizing");
  if (!dialog) return 1;
  HANDLE process = open_process_of(dialog);
  Holdings readings[SOAK_SLICES + 1];
  readings[0] = holdings_of(process);
  srand(seed);
  int bad = 0;
  for (int slice = 1; slice <= SOAK_SLICES; ++slice) {
    for (int i = (slice - 1) * n / SOAK_SLICES; i < slice * n / SOAK_SLICES && bad <= 5; ++i) {
      int cx = 120 + rand() % 700, cy = 100 + rand() % 550;
      resize_to(dialog, cx, cy);
      char when[64];
      snprintf(when, sizeof when, "soak %d (%dx%d)", i, cx, cy);
      if (!verify_state(dialog, when)) ++bad;
    }
    readings[slice] = holdings_of(process);
  }
  CloseHandle(process);
  if (n >= 3 * SOAK_SLICES) check_holdings(readings, SOAK_SLICES, "soak");
  printf("%s: %d resizes, %d failures\n", failures ? "FAILED" : "ok", n, failures);
  return failures ? 1 : 0;
}

// The top-level window titled Resizing that belongs to process `pid`, shown or not.
HWND dialog_of_process(DWORD pid) {
  for (HWND window : remote::top_level_windows())
    if (remote::window_process(window) == pid && remote::window_caption(window) == "Resizing") return window;
  return nullptr;
}

// Starts EXE with each show state in its start-up information: the dialog appears all the same,
// visible and neither minimised nor hidden, and the close request ends the process with 0.
int show_states(const char* exe) {
  const struct {
    WORD state;
    const char* name;
  } states[] = {{SW_HIDE, "SW_HIDE"}, {SW_SHOWMINIMIZED, "SW_SHOWMINIMIZED"}};
  for (const auto& s : states) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = s.state;
    PROCESS_INFORMATION pi;
    std::string line = std::string("\"") + exe + "\"";
    if (!CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      CHECK(false, "%s: cannot start %s", s.name, exe);
      continue;
    }
    // A dialog left hidden or minimised is only known as such when the wait runs out.
    HWND dialog = nullptr;
    for (DWORD waited = 0; waited < DIALOG_WAIT_MS; waited += 20) {
      dialog = dialog_of_process(pi.dwProcessId);
      if (dialog && IsWindowVisible(dialog) && !IsIconic(dialog)) break;
      Sleep(20);
    }
    bool visible = dialog && IsWindowVisible(dialog), minimised = dialog && IsIconic(dialog);
    CHECK(dialog != nullptr, "%s: no dialog", s.name);
    CHECK(visible, "%s: the dialog is not visible", s.name);
    CHECK(!minimised, "%s: the dialog is minimised", s.name);
    if (dialog) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &code);
    CHECK(code == 0, "%s: exit code %lu", s.name, code);
    printf("%s: visible %d, minimised %d, exit code %lu\n", s.name, visible, minimised, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  printf("%s: %d failures\n", failures ? "FAILED" : "ok", failures);
  return failures ? 1 : 0;
}

double now_ms() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

int bench(const char* exe, int n) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::string line = std::string("\"") + exe + "\"";
  double start = now_ms();
  if (!CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    printf("FAILED: cannot start %s\n", exe);
    return 1;
  }
  HWND dialog = nullptr;
  while (!dialog && now_ms() - start < 20000) {
    dialog = resizing_dialog(0);
    if (!dialog) Sleep(1);
  }
  double visible = now_ms() - start;
  double t0 = now_ms();
  for (int i = 0; i < n; ++i) resize_to(dialog, 200 + (i % 2) * 150 + i % 7, 180 + (i % 3) * 60);
  text_of(GetDlgItem(dialog, ID_REPORT));  // the last resize has been answered
  double per_resize = (now_ms() - t0) / n;
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  printf("startup_to_visible_ms %.1f per_resize_ms %.3f exit %lu\n", visible, per_resize, code);
  return 0;
}


// ---- Hostile input: what any process on the desktop may send to the dialog. ----

// A fixed sequence for a seed, the same under every C runtime (xorshift32).
struct Random {
  uint32_t state;
  explicit Random(unsigned seed) : state(seed * 2654435761u + 0x9E3779B9u) { if (!state) state = 1; }
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  uint32_t below(uint32_t n) { return next() % n; }
  template <typename T, size_t N> T pick(const T (&values)[N]) { return values[below(N)]; }
};

struct HostileCounts {
  long posted = 0, post_failed = 0, sent = 0, timed_out = 0, send_failed = 0, calls = 0;
  long passed = 0, failed = 0;
};

struct Hostile {
  HWND dialog, report, button;
  Random random;
  HostileCounts counts;
  UINT registered[4];

  // Posted or sent with a timeout, one or the other by the draw.
  void deliver(HWND to, UINT message, WPARAM wparam, LPARAM lparam) {
    if (random.below(2)) {
      if (PostMessageA(to, message, wparam, lparam)) ++counts.posted;
      else ++counts.post_failed;
      return;
    }
    DWORD_PTR answer;
    ++counts.sent;
    SetLastError(0);
    if (!SendMessageTimeoutA(to, message, wparam, lparam, SMTO_NORMAL | SMTO_ABORTIFHUNG, 500, &answer)) {
      bool timeout = GetLastError() == ERROR_TIMEOUT;
      ++(timeout ? counts.timed_out : counts.send_failed);
      // The first few, to say which message went unanswered.
      if (counts.timed_out + counts.send_failed <= 10)
        printf("hostile: %s: message %04x (%08lx, %08lx) to %s, after %ld posted, %ld sent\n",
               timeout ? "timed out" : "failed", message, static_cast<unsigned long>(wparam),
               static_cast<unsigned long>(lparam), to == dialog ? "the dialog" : to == report ? "the text box" : "the button",
               counts.posted, counts.sent - 1);
    }
  }
  HWND any_window() {
    switch (random.below(4)) {
      case 0: return report;
      case 1: return button;
      default: return dialog;
    }
  }
  LPARAM any_lparam() {
    static const LPARAM special[] = {0, 0xFFFF, static_cast<LPARAM>(0xFFFF0000u), -1, 0x00010001, 0x7FFF7FFF,
                                     static_cast<LPARAM>(0x80008000u)};
    return random.below(2) ? random.pick(special) : static_cast<LPARAM>(random.next());
  }
  // A virtual key other than those that open the system menu from the keyboard (F10, Alt) or a
  // context menu (the application key): a menu left open would wait for a user, and the system
  // menu's own keys include its close command, which this run never gives.
  WPARAM any_key() {
    static const WPARAM keys[] = {VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
                                  VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_DELETE, VK_BACK, VK_INSERT, VK_SHIFT,
                                  VK_CONTROL, VK_F1, VK_F4, 'A', 'Z', '0', '9', VK_NUMPAD5, VK_OEM_PLUS};
    for (;;) {
      WPARAM vk = random.below(2) ? random.pick(keys) : random.below(256);
      if (vk != VK_F10 && vk != VK_MENU && vk != VK_LMENU && vk != VK_RMENU && vk != VK_APPS) return vk;
    }
  }

  void one_message() {
    switch (random.below(13)) {
      case 0: {  // a size notification with any size type and any size
        deliver(random.below(4) ? dialog : any_window(), WM_SIZE, random.below(6), any_lparam());
        break;
      }
      case 1: {  // a real resize, to nothing, to a point, to far beyond the screen
        static const SIZE sizes[] = {{0, 0}, {1, 1}, {30000, 30000}, {0, 30000}, {30000, 0}, {2, 3}};
        SIZE s = random.below(3) ? random.pick(sizes) : SIZE{static_cast<LONG>(random.below(1500)),
                                                               static_cast<LONG>(random.below(1200))};
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (random.below(4) ? SWP_NOMOVE : 0) |
                     (random.below(4) ? 0 : SWP_ASYNCWINDOWPOS);
        SetWindowPos(dialog, nullptr, static_cast<int>(random.below(800)) - 100,
                     static_cast<int>(random.below(600)) - 100, s.cx, s.cy, flags);
        ++counts.calls;
        break;
      }
      case 2: {  // minimise, maximise, restore
        static const int states[] = {SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE, SW_SHOWMINNOACTIVE, SW_SHOWNOACTIVATE,
                                     SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        int state = random.pick(states);
        if (random.below(2)) ShowWindow(dialog, state);
        else ShowWindowAsync(dialog, state);
        ++counts.calls;
        break;
      }
      case 3: {  // the same by the system menu's commands
        static const WPARAM commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE};
        deliver(dialog, WM_SYSCOMMAND, random.pick(commands), 0);
        break;
      }
      case 4: {  // commands: OK, Cancel, the controls' own, any identifier, any notification
        static const WPARAM ids[] = {IDOK, IDCANCEL, ID_REPORT, ID_BUTTON, 0, 0xFFFF, IDABORT, IDYES};
        static const WPARAM codes[] = {BN_CLICKED, EN_CHANGE, EN_UPDATE, EN_SETFOCUS, EN_KILLFOCUS, 1, 0xFFFF};
        WPARAM id = random.below(2) ? random.pick(ids) : random.below(0x10000);
        WPARAM code = random.below(2) ? random.pick(codes) : random.below(0x10000);
        HWND from[] = {nullptr, report, button, dialog};
        deliver(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(random.pick(from)));
        break;
      }
      case 5: {  // system commands other than close, and none that starts an interactive loop
        // (move, size, the menus, scrolling, help mode) or another program (task list, screen
        // saver) or turns the monitor off. The system reads only the high 12 bits: SC_SEPARATOR,
        // 0xF00F, is a size command, whose loop waits for the mouse and then for ever.
        static const WPARAM commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_NEXTWINDOW, SC_PREVWINDOW,
                                          SC_ARRANGE, SC_DEFAULT, SC_HOTKEY, SC_MINIMIZE | 2,
                                          SC_MAXIMIZE | 2, SC_RESTORE | 1};
        WPARAM command = random.below(3) ? random.pick(commands) : random.below(0xF000);
        deliver(dialog, WM_SYSCOMMAND, command, command == SC_HOTKEY ? reinterpret_cast<LPARAM>(dialog) : 0);
        break;
      }
      case 6: {  // keys and characters
        static const UINT kinds[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};
        UINT kind = random.pick(kinds);
        WPARAM code = kind == WM_CHAR ? random.below(256) : any_key();
        LPARAM lparam = 1 | (static_cast<LPARAM>(random.below(128)) << 16) |
                        (kind == WM_KEYUP ? static_cast<LPARAM>(0xC0000000u) : 0);
        deliver(any_window(), kind, code, lparam);
        break;
      }
      case 7: {  // a click, inside or outside, with any buttons held
        HWND to = any_window();
        LPARAM at = random.below(2) ? MAKELPARAM(random.below(400), random.below(300)) : any_lparam();
        WPARAM keys = random.below(2) ? MK_LBUTTON : random.below(0x80);
        deliver(to, WM_LBUTTONDOWN, keys, at);
        if (random.below(4)) deliver(to, WM_LBUTTONUP, keys & ~static_cast<WPARAM>(MK_LBUTTON), at);
        break;
      }
      case 8: {  // activation in all its forms, minimised or not
        static const WORD states[] = {WA_INACTIVE, WA_ACTIVE, WA_CLICKACTIVE, 3, 0xFFFF};
        WORD state = random.below(4) ? random.pick(states) : static_cast<WORD>(random.next());
        HWND other[] = {nullptr, dialog, report};
        deliver(random.below(4) ? dialog : any_window(), WM_ACTIVATE, MAKEWPARAM(state, random.below(2)),
                reinterpret_cast<LPARAM>(random.pick(other)));
        break;
      }
      case 9:  // timers that nobody set (no timer procedure: its address would be a pointer)
        deliver(any_window(), WM_TIMER, random.below(3) ? random.below(16) : random.next(), 0);
        break;
      case 10: {  // message numbers of the application's own ranges, which nothing here knows
        UINT message = random.below(2) ? WM_USER + random.below(0x1000) : WM_APP + random.below(0x4000);
        deliver(any_window(), message, random.next(), any_lparam());
        break;
      }
      case 11:  // message numbers registered by name
        deliver(any_window(), random.pick(registered), random.next(), any_lparam());
        break;
      default:  // nothing at all, and the cancelling of modes
        deliver(any_window(), random.below(2) ? WM_NULL : WM_CANCELMODE, 0, 0);
        break;
    }
  }

  // Whatever was posted before has been handled once a size notification posted after it has
  // laid the controls out (characters that keys turn into are posted while the keys are handled:
  // a second notification comes after those). The layout shows it, which no character can touch.
  bool drained(int k) {
    const SIZE markers[] = {{30001, 20001}, {20003, 30003}};
    for (const SIZE& m : markers) {
      Layout want = expected_layout(m.cx, m.cy);
      PostMessageA(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(m.cx, m.cy));
      bool seen = false;
      for (int tries = 0; tries < 500 && !seen; ++tries) {
        seen = rect_equal(control_rect(dialog, button), want.button) && rect_equal(control_rect(dialog, report), want.report);
        if (!seen) Sleep(20);
      }
      CHECK(seen, "checkpoint %d: the notification posted for %ldx%ld was not handled in 10 s", k, m.cx, m.cy);
      if (!seen) return false;
    }
    return true;
  }

  struct Children {
    int count = 0, report = 0, button = 0;
  };
  static BOOL CALLBACK count_child(HWND w, LPARAM p) {
    Children* c = reinterpret_cast<Children*>(p);
    ++c->count;
    int id = GetDlgCtrlID(w);
    if (id == ID_REPORT) ++c->report;
    if (id == ID_BUTTON) ++c->button;
    return TRUE;
  }

  // Back to a normal size, then alive, answering, its two controls, the report and the layout of
  // its real client size.
  void checkpoint(int k) {
    int before = failures;
    CHECK(IsWindow(dialog), "checkpoint %d: the dialog is gone", k);
    if (!IsWindow(dialog)) { ++counts.failed; return; }
    if (drained(k)) {
      for (int i = 0; i < 5 && (IsIconic(dialog) || IsZoomed(dialog)); ++i) ShowWindow(dialog, SW_RESTORE);
      int cx = 180 + static_cast<int>(random.below(500)), cy = 150 + static_cast<int>(random.below(400));
      RECT outer;
      GetWindowRect(dialog, &outer);
      // The same outer size again would bring no size notification.
      if (outer.right - outer.left == cx && outer.bottom - outer.top == cy) cx += 3;
      SetWindowPos(dialog, nullptr, 100, 80, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
      DWORD_PTR answer;
      CHECK(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &answer) != 0,
            "checkpoint %d: the dialog does not answer", k);
      CHECK(IsWindowVisible(dialog) && !IsIconic(dialog) && !IsZoomed(dialog), "checkpoint %d: not restored", k);
      Children c;
      EnumChildWindows(dialog, count_child, reinterpret_cast<LPARAM>(&c));
      CHECK(c.count == 2 && c.report == 1 && c.button == 1, "checkpoint %d: %d child windows (%d text box, %d button)",
            k, c.count, c.report, c.button);
      CHECK(GetDlgItem(dialog, ID_REPORT) == report && GetDlgItem(dialog, ID_BUTTON) == button,
            "checkpoint %d: the controls were replaced", k);
      char when[64];
      snprintf(when, sizeof when, "checkpoint %d (%dx%d)", k, cx, cy);
      verify_state(dialog, when);
    }
    if (failures == before) ++counts.passed;
    else ++counts.failed;
  }
};

// The same seeded workload ROUNDS times in a row, DRAWS draws each (a checkpoint every 200 and one
// after the last). The first round warms up what the system allocates once and keeps (surfaces
// for a maximised or oversized window, caches); the rounds after it are the slices of the
// holdings verdict, which allows one more such step in them and no growth with the work.

int hostile(int rounds, long draws, unsigned seed) {
  HWND dialog = resizing_dialog(DIALOG_WAIT_MS);
  CHECK(dialog != nullptr, "no visible window titled Resizing");
  if (!dialog) return 1;
  HANDLE process = open_process_of(dialog);
  const int MAX_ROUNDS = 100;
  if (rounds > MAX_ROUNDS) rounds = MAX_ROUNDS;
  Holdings start = holdings_of(process), after[MAX_ROUNDS + 1];
  printf("hostile: at the start gdi objects %ld, private memory %ld kB\n", start.gdi, start.private_kb);
  const char* names[] = {"probe hostile one", "probe hostile two", "TaskbarCreated", "MSWHEEL_ROLLMSG"};
  HostileCounts total;
  double begun = now_ms();
  int completed = 0;
  const int EVERY = 200;
  int k = 0;
  for (int round = 1; round <= rounds && total.failed == 0; ++round) {
    Hostile h{dialog, GetDlgItem(dialog, ID_REPORT), GetDlgItem(dialog, ID_BUTTON), Random(seed), {}, {}};
    for (int i = 0; i < 4; ++i) h.registered[i] = RegisterWindowMessageA(names[i]);
    for (long d = 1; d <= draws && h.counts.failed < 3; ++d) {
      h.one_message();
      if (d % EVERY == 0) h.checkpoint(++k);
    }
    if (h.counts.failed == 0 && draws % EVERY) h.checkpoint(++k);
    Holdings now = holdings_of(process);
    printf("hostile: round %d: gdi objects %ld, private memory %ld kB\n", round, now.gdi, now.private_kb);
    after[round] = now;
    completed = round;
    const HostileCounts& counts = h.counts;
    total.posted += counts.posted, total.post_failed += counts.post_failed, total.sent += counts.sent;
    total.timed_out += counts.timed_out, total.send_failed += counts.send_failed, total.calls += counts.calls;
    total.passed += counts.passed, total.failed += counts.failed;
  }
  CloseHandle(process);
  printf("hostile: seed %u, %d rounds of %ld draws in %.1f s: %ld messages posted (%ld refused), %ld sent (%ld timed "
         "out, %ld failed), %ld resize and show calls\n",
         seed, rounds, draws, (now_ms() - begun) / 1000.0, total.posted, total.post_failed, total.sent, total.timed_out,
         total.send_failed, total.calls);
  printf("hostile: checkpoints %ld passed, %ld failed\n", total.passed, total.failed);
  CHECK(total.passed > 0 && total.failed == 0, "checkpoints failed");
  // The rounds after the first, read from the first's end on.
  if (completed > 2) check_holdings(after + 1, completed - 1, "hostile round");
  printf("%s: hostile %ld checkpoints, %d failures\n", failures ? "FAILED" : "ok", total.passed + total.failed,
         failures);
  return failures ? 1 : 0;
}

// ---- The layout example: its table's rules, computed here on their own. ----

// The example's controls and, for each, where its edges go: a proportion of the client width or
// height plus an offset in units; `size` means the last two are the width and height.
struct Rule {
  int id;
  bool size;
  float left_p; int left_o;
  float top_p; int top_o;
  float right_p; int right_o;
  float bottom_p; int bottom_o;
};
const Rule layout_rules[] = {
    {100, false, 0, 7, 0, 7, 0.35f, -3, 1, -28},     // the list box
    {101, false, 0.35f, 3, 0, 7, 1, -7, 1, -28},     // the text box
    {102, true, 1, -174, 1, -21, 0, 50, 0, 14},      // Copy
    {103, true, 1, -120, 1, -21, 0, 50, 0, 14},      // Clear
    {104, true, 1, -66, 1, -21, 0, 50, 0, 14},       // Close
};
const int LAYOUT_GRIP = 105;
// Its dialog starts at 240 by 150 units and is never smaller.
const int LAYOUT_W = 240, LAYOUT_H = 150;

RECT rule_rect(const Rule& r, POINT units) {
  int x = scaled(units.x, r.left_p) + r.left_o, y = scaled(units.y, r.top_p) + r.top_o;
  int right = scaled(units.x, r.right_p) + r.right_o, bottom = scaled(units.y, r.bottom_p) + r.bottom_o;
  int w = r.size ? right : right - x, h = r.size ? bottom : bottom - y;
  POINT at = units_to_pixels(x, y), extent = units_to_pixels(w < 0 ? 0 : w, h < 0 ? 0 : h);
  return RECT{at.x, at.y, at.x + extent.x, at.y + extent.y};
}

// Every control where the rules put it for the dialog's client area now, and the size grip in
// the bottom-right corner at the system's size (hidden when maximised). Retried for up to 5 s
// while the program catches up; the failures of the last try are reported.
bool verify_layout(HWND dialog, const char* when, bool maximised) {
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  for (int tries = 0;; ++tries) {
    RECT client;
    GetClientRect(dialog, &client);
    POINT units = pixels_to_units(client.right, client.bottom);
    bool all = true, last = tries == 250;
    for (const Rule& r : layout_rules) {
      RECT want = rule_rect(r, units), got = control_rect(dialog, GetDlgItem(dialog, r.id));
      if (rect_equal(got, want)) continue;
      all = false;
      if (last) CHECK(false, "%s: control %d at %s, want %s (client %ldx%ld)", when, r.id, rect_text(got).c_str(),
                      rect_text(want).c_str(), client.right, client.bottom);
    }
    HWND grip = GetDlgItem(dialog, LAYOUT_GRIP);
    RECT corner = {client.right - cx, client.bottom - cy, client.right, client.bottom};
    bool grip_right = grip && rect_equal(control_rect(dialog, grip), corner) && (IsWindowVisible(grip) != 0) == !maximised;
    if (!grip_right) {
      all = false;
      if (last) CHECK(false, "%s: size grip %s %s, want %s %s", when, grip ? rect_text(control_rect(dialog, grip)).c_str() : "none",
                      grip && IsWindowVisible(grip) ? "shown" : "hidden", rect_text(corner).c_str(), maximised ? "hidden" : "shown");
    }
    if (all) return true;
    if (last) return false;
    Sleep(20);
  }
}

// The layout example at `dpi`: its dialog's start size, then the client sizes below (given at
// 96 dpi and scaled to the resolution), one narrower and lower than the least size, one only
// narrower, each giving exactly the size asked for or the least size, and every control placed
// by the rules; then maximised and restored.
int layout_check(int dpi) {
  HWND dialog = remote::dialog_find(nullptr, DIALOG_WAIT_MS);
  CHECK(dialog != nullptr, "no dialog of the layout example");
  if (!dialog) return 1;
  char title[64] = {};
  GetWindowTextA(dialog, title, sizeof title);
  CHECK(lstrcmpA(title, "Layout") == 0, "the dialog is titled \"%s\"", title);
  HDC screen = GetDC(nullptr);
  int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  CHECK(dpi_x == dpi, "the screen has %d dpi, not %d", dpi_x, dpi);
  POINT least = units_to_pixels(LAYOUT_W, LAYOUT_H);
  RECT client, outer;
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &outer);
  printf("layout at %d dpi: client area %ldx%ld, least %ldx%ld (240 by 150 units)\n", dpi, client.right,
         client.bottom, least.x, least.y);
  CHECK(client.right == least.x && client.bottom == least.y, "start client %ldx%ld, want %ldx%ld", client.right,
        client.bottom, least.x, least.y);
  verify_layout(dialog, "at the start", false);
  // The frame around the client area, to ask for a client size. The sizes stay within the screen
  // (1280 by 1024) also at 144 dpi, where the system would cut the window down to it.
  long frame_x = (outer.right - outer.left) - client.right, frame_y = (outer.bottom - outer.top) - client.bottom;
  const SIZE asked[] = {{520, 360}, {433, 301}, {641, 479}, {200, 120}, {700, 260}, {300, 420}, {800, 600}, {517, 389}};
  for (SIZE a : asked) {
    long w = a.cx * dpi / 96, h = a.cy * dpi / 96;
    resize_to(dialog, static_cast<int>(w + frame_x), static_cast<int>(h + frame_y));
    long want_w = w < least.x ? least.x : w, want_h = h < least.y ? least.y : h;
    char when[80];
    snprintf(when, sizeof when, "client %ldx%ld asked", w, h);
    for (int i = 0; i < 250; ++i) {
      GetClientRect(dialog, &client);
      if (client.right == want_w && client.bottom == want_h) break;
      Sleep(20);
    }
    CHECK(client.right == want_w && client.bottom == want_h, "%s: client %ldx%ld, want %ldx%ld", when, client.right,
          client.bottom, want_w, want_h);
    printf("  asked %ldx%ld, got %ldx%ld%s\n", w, h, client.right, client.bottom,
           want_w != w || want_h != h ? " (the least size)" : "");
    verify_layout(dialog, when, false);
  }
  ShowWindow(dialog, SW_MAXIMIZE);
  for (int i = 0; i < 250 && !IsZoomed(dialog); ++i) Sleep(20);
  verify_layout(dialog, "maximised", true);
  ShowWindow(dialog, SW_RESTORE);
  for (int i = 0; i < 250 && IsZoomed(dialog); ++i) Sleep(20);
  verify_layout(dialog, "restored", false);
  printf("%s: %d failures\n", failures ? "FAILED" : "ok", failures);
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (!remote::units_ready()) { printf("FAILED: cannot make the scale dialog\n"); return 2; }
  std::string mode = argc > 1 ? argv[1] : "check";
  if (mode == "check") return resizing_check(argc > 2 ? atoi(argv[2]) : 96);
  if (mode == "layout-check") return layout_check(argc > 2 ? atoi(argv[2]) : 96);
  if (mode == "soak") return soak(argc > 2 ? atoi(argv[2]) : 300, argc > 3 ? atoi(argv[3]) : 1);
  if (mode == "resize" && argc > 3) {
    HWND dialog = resizing_dialog(DIALOG_WAIT_MS);
    if (!dialog) return 1;
    resize_to(dialog, atoi(argv[2]), atoi(argv[3]));
    text_of(GetDlgItem(dialog, ID_REPORT));  // answered
    return 0;
  }
  if (mode == "holdings") {
    HWND dialog = resizing_dialog(DIALOG_WAIT_MS);
    if (!dialog) return 1;
    HANDLE process = open_process_of(dialog);
    Holdings h = holdings_of(process);
    CloseHandle(process);
    printf("gdi objects %ld, private memory %ld kB\n", h.gdi, h.private_kb);
    return 0;
  }
  if (mode == "showstates" && argc > 2) return show_states(argv[2]);
  if (mode == "bench" && argc > 2) return bench(argv[2], argc > 3 ? atoi(argv[3]) : 300);
  if (mode == "hostile")
    return hostile(argc > 2 ? atoi(argv[2]) : 4, argc > 3 ? atol(argv[3]) : 1000, argc > 4 ? atoi(argv[4]) : 1);
  printf("usage: probe check [DPI] | layout-check [DPI] | soak N SEED | resize W H | holdings |"
         " showstates EXE | bench EXE N | hostile ROUNDS DRAWS SEED\n");
  return 2;
}
