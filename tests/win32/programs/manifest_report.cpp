// A program built on program_entry that says what its application manifest made of it: it ends
// with ExitProcess and the exit code
//   its process code page (GetACP) in the low 16 bits,
//   + 0x10000 when a button answers BCM_GETIDEALSIZE, which only the buttons of the common
//     controls of version 6 do,
//   + 0x20000 when its activation context declares supported Windows versions (four of them),
//   + 0x40000 when its activation context holds dpiAware "true",
//   + 0x1000000 always, so that a program that did not report is told apart.
// Built with add_dialog_program's defaults (manifest_report) and again with parts of the manifest
// turned off (manifest_report_ansi, _classic, _no_os, _none).
#include <windows.h>
#include <commctrl.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

namespace {

bool button_has_ideal_size() {
  HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SIZE size = {};
  bool answered = button && SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) &&
                  size.cx > 0;
  if (button) DestroyWindow(button);
  return answered;
}

// The number of supported versions the process's activation context, the one the loader made
// from the manifest (no handle, no flags), declares.
DWORD supported_os_count() {
  DWORD buffer[64] = {};  // the element count, then the elements
  SIZE_T written = 0;
  if (!QueryActCtxW(0, nullptr, nullptr,
                    CompatibilityInformationInActivationContext, buffer, sizeof buffer, &written))
    return 0;
  return buffer[0];
}

bool declared_dpi_aware() {
  WCHAR value[16] = {};
  SIZE_T written = 0;
  if (!QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware",
                            value, 16, &written))
    return false;
  return value[0] == 't' && value[1] == 'r' && value[2] == 'u' && value[3] == 'e' && value[4] == 0;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  DWORD code = 0x1000000 | (GetACP() & 0xFFFF);
  if (button_has_ideal_size()) code |= 0x10000;
  if (supported_os_count() == 4) code |= 0x20000;
  if (declared_dpi_aware()) code |= 0x40000;
  ExitProcess(code);
}
