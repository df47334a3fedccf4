// The recording stand-in of LoadImageA, installed in the test program's import table.
#include "tests/win32/support/bitmap_watch.hpp"

#include "tests/win32/support/test_support.hpp"

namespace {

typedef HANDLE(WINAPI* LoadImageFunction)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
LoadImageFunction real_load_image;
BitmapWatch* active;

HANDLE WINAPI recording_load_image(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy,
                                   UINT flags) {
  HANDLE image = real_load_image(instance, name, type, cx, cy, flags);
  if (active && image && type == IMAGE_BITMAP) active->loaded.push_back(image);
  return image;
}

}  // namespace

BitmapWatch::BitmapWatch() {
  if (!real_load_image)
    real_load_image = reinterpret_cast<LoadImageFunction>(
        import_patch("user32.dll", "LoadImageA", reinterpret_cast<void*>(recording_load_image)));
  active = this;
}

BitmapWatch::~BitmapWatch() { active = nullptr; }

bool gdi_object_alive(HANDLE handle) { return GetObjectType(handle) != 0; }
