// dialogkit-driver's screenshot: the dialog's window as the screen shows it, once the program has
// painted it, written as a 24-bit BMP.
#include <stdio.h>

#include "tools/driver/driver.hpp"

namespace {

// The screen's pixels of `r` in a bottom-up 24-bit bitmap, written to `path` with the BMP file
// header; `copied` says whether the screen could be read.
bool bmp_write(const RECT& r, const std::string& path, bool* copied) {
  int width = r.right - r.left, height = r.bottom - r.top;
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
  *copied = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    *copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
  }
  bool written = false;
  if (*copied) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    if (FILE* f = _wfopen(remote::wide_of(path).c_str(), L"wb")) {
      written = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
                fwrite(bits, info.biSizeImage, 1, f) == 1;
      written = fclose(f) == 0 && written;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace

bool act_screenshot(Action* a) {
  RedrawWindow(a->dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  send(a, a->dialog, WM_NULL, 0, 0, nullptr);
  Sleep(300);  // the program paints from its own message loop
  RECT r;
  GetWindowRect(a->dialog, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return fail(a, "the dialog has no area on the screen");
  bool copied = false;
  bool written = bmp_write(r, a->words[1], &copied);
  if (!copied) return fail(a, "the screen could not be read");
  if (!written) return fail(a, "cannot write " + a->words[1]);
  return done(a, std::to_string(width) + " by " + std::to_string(height) + " pixels written");
}
