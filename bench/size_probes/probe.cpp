// Size probes: the smallest program on DialogKit (a dialog shown modally) and the same program
// with one feature more, chosen by PROBE_FEATURE when it is compiled. bench/size_table.sh sets
// each one's size against the base program's: what the feature costs a program that starts
// using it. The probes are built, never run.
#include <dialogkit.hpp>

// No constants of its own.
struct ProbeConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(ProbeConstants, {});

// The features, one per probe; 0 is the base program.
#define PROBE_BASE 0
#define PROBE_CONTROL 1     // control_add of kind PROBE_KIND (0 to 15)
#define PROBE_IMAGE 2       // control_set_image on a label
#define PROBE_MENU 3        // a menu bar with one item and its callback
#define PROBE_LAYOUT 4      // a layout table attached
#define PROBE_NUMBER 5      // number_to_text into a text box
#define PROBE_SUB_DIALOG 6  // a modal dialog owned by the main one, opened from a callback

namespace {

#if PROBE_FEATURE == PROBE_MENU || PROBE_FEATURE == PROBE_SUB_DIALOG
INT_PTR CALLBACK chosen(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_COMMAND) return 0;
#if PROBE_FEATURE == PROBE_SUB_DIALOG
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "About");
  HWND about = dialog_create(&frame, dialog, -1, -1, 120, 40,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0);
  dialog_show_modal(about, nullptr, nullptr);
#else
  dialog_end(dialog, 0);
#endif
  return 1;
}
#endif

#if PROBE_FEATURE == PROBE_LAYOUT
const LayoutRow rows[] = {{100, 0, {0, 8}, {0, 8}, {1, -8}, {1, -8}}};
const DialogLayout layout = {rows, 1, {0, 0}, {0, 0}, 0};
#endif

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Probe");
  HWND dialog = dialog_create(&frame, nullptr, -1, -1, 160, 60, WS_OVERLAPPEDWINDOW, 0);
#if PROBE_FEATURE == PROBE_CONTROL
  temp_push_cstring(&frame, "Text");
  temp_push_cstring(&frame, "STATIC");  // the class name, used by kind 0 only
  control_add(&frame, PROBE_KIND, dialog, 100, nullptr, 8, 8, 60, 14, 0, 0, nullptr);
#elif PROBE_FEATURE == PROBE_IMAGE
  temp_push_cstring(&frame, "PICTURE");
  control_set_image(&frame, dialog, 100, IMAGE_OPT_SIZED);
#elif PROBE_FEATURE == PROBE_MENU || PROBE_FEATURE == PROBE_SUB_DIALOG
  HMENU bar = menu_create(0);
  temp_push_cstring(&frame, "&About");
  menu_insert_item(&frame, bar, 0, 1, 0, 200, chosen);
  menu_attach(dialog, bar);
#elif PROBE_FEATURE == PROBE_LAYOUT
  layout_attach(dialog, &layout);
#elif PROBE_FEATURE == PROBE_NUMBER
  number_to_text(&frame, 42);
  control_set_text(&frame, dialog, 100);
#endif
  dialog_show_modal(dialog, nullptr, nullptr);
  return 0;
}
