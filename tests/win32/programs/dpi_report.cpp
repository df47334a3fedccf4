// A program built on program_entry that says how the system sees its resolution awareness: it
// ends with ExitProcess and the exit code 16 plus
//   1 when IsProcessDPIAware answers TRUE,
//   2 when its activation context, which the loader makes from the program's manifest, holds the
//     setting dpiAware = "true" of the 2005 WindowsSettings namespace.
// Built twice, once with add_dialog_program's DPI_AWARE (as dpi_report_aware), whose manifest
// alone makes the difference.
#include <windows.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

namespace {

bool declared_dpi_aware() {
  WCHAR value[16] = {};
  SIZE_T written = 0;
  if (!QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware",
                            value, 16, &written))
    return false;
  const WCHAR want[] = L"true";
  for (int i = 0; i < 5; ++i)
    if (value[i] != want[i]) return false;
  return true;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ExitProcess(16 | (IsProcessDPIAware() ? 1 : 0) | (declared_dpi_aware() ? 2 : 0));
}
