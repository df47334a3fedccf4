// What the fault-injection program and the test that runs it share: the imports it makes fail,
// how it is told which call to refuse, and the report it leaves when it ends.
//
// The program is started as `fault_session.exe KIND K EVERY REPORT`: the K-th call (counted from
// 1) of import number KIND is refused, and with EVERY 1 each later call of it as well; a KIND of
// FAULT_KIND_COUNT or more refuses nothing and only counts. REPORT is the file the report goes to.
#pragma once
#include <stdint.h>

// The imports, with their modules: the runtime's and the toolkit's allocations, and the window,
// dialog, menu, image, property and deferred-move calls of the toolkit.
#define FAULT_KINDS(X)                        \
  X(SysAllocStringByteLen, "oleaut32.dll")    \
  X(GlobalAlloc, "kernel32.dll")              \
  X(CreateWindowExA, "user32.dll")            \
  X(CreateDialogIndirectParamA, "user32.dll") \
  X(CreateMenu, "user32.dll")                 \
  X(CreatePopupMenu, "user32.dll")            \
  X(InsertMenuItemA, "user32.dll")            \
  X(SetMenu, "user32.dll")                    \
  X(LoadImageA, "user32.dll")                 \
  X(SetPropA, "user32.dll")                   \
  X(BeginDeferWindowPos, "user32.dll")        \
  X(DeferWindowPos, "user32.dll")

enum FaultKind : uint32_t {
#define FAULT_KIND_ENUM(name, module) FAULT_##name,
  FAULT_KINDS(FAULT_KIND_ENUM)
#undef FAULT_KIND_ENUM
      FAULT_KIND_COUNT
};

// What the session found wrong, one bit each.
enum : uint32_t {
  WRONG_OWNER_DISABLED = 1,    // the main dialog stayed disabled after its modal sub-dialog
  WRONG_WINDOW_LEFT = 2,       // a dialog of the session outlived it
  WRONG_ERROR = 4,             // an error recorded where none is due, or missing where one is
  WRONG_TEXT = 8,              // a text other than the one asked for, or than the empty one
  WRONG_RESULT = 16,           // the modal sub-dialog's result is not the one its callback gave
  WRONG_PLACE = 32,            // a control of the layout table is not where the table says
  WRONG_GRIP = 64,             // the size grip shows while the dialog is maximised
  WRONG_ATTACH = 128,          // layout_attach failed without a refused allocation or property
};

struct FaultReport {
  uint32_t magic;  // FAULT_REPORT_MAGIC
  uint32_t calls[FAULT_KIND_COUNT];
  uint32_t refused;
  uint32_t wrong;
  uint32_t first_wrong_check;  // the number of the session's check (from 1) that first found it
  uint32_t session_ended;  // the main procedure came to its end
  uint32_t exit_code;
};

constexpr uint32_t FAULT_REPORT_MAGIC = 0x544C4146;
