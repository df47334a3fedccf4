// Watches the bitmaps a test program loads: the program's own import slot of LoadImageA is pointed
// at a stand-in that calls through and keeps every bitmap handle it hands out, so a test can ask
// what became of each bitmap an operation of the toolkit loaded. (The system's count of a process's
// GDI objects, GetGuiResources, answers 0 under Wine.)
#pragma once
#include <windows.h>

#include <vector>

struct BitmapWatch {
  BitmapWatch();   // starts with no bitmap seen
  ~BitmapWatch();  // stops recording
  // The bitmaps LoadImageA handed out while the watch was on, in order.
  std::vector<HANDLE> loaded;
};

// Whether a handle still names a GDI object: a deleted bitmap's handle names none.
bool gdi_object_alive(HANDLE handle);
