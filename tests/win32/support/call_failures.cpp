// The stand-ins of call_failures.hpp, installed in the test program's import table.
#include "tests/win32/support/call_failures.hpp"

#include <set>

#include "tests/win32/support/test_support.hpp"

CallFailure set_prop_failure, begin_defer_failure, defer_failure;

namespace {

decltype(&SetPropA) real_set_prop;
decltype(&BeginDeferWindowPos) real_begin_defer;
decltype(&DeferWindowPos) real_defer;
decltype(&EndDeferWindowPos) real_end_defer;
std::set<HDWP> open_batches;

bool refuse(CallFailure& f) {
  ++f.calls;
  bool no = f.first && (f.every_later ? f.calls >= f.first : f.calls == f.first);
  if (no) {
    ++f.refused;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return no;
}

BOOL WINAPI set_prop(HWND window, LPCSTR name, HANDLE value) {
  return refuse(set_prop_failure) ? FALSE : real_set_prop(window, name, value);
}

HDWP WINAPI begin_defer(int count) {
  if (refuse(begin_defer_failure)) return nullptr;
  HDWP batch = real_begin_defer(count);
  if (batch) open_batches.insert(batch);
  return batch;
}

// A step refused leaves its batch as it was, as the system does when it cannot grow the batch.
HDWP WINAPI defer(HDWP batch, HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
  if (refuse(defer_failure)) return nullptr;
  HDWP next = real_defer(batch, window, after, x, y, cx, cy, flags);
  if (next != batch && open_batches.erase(batch) && next) open_batches.insert(next);
  return next;
}

BOOL WINAPI end_defer(HDWP batch) {
  open_batches.erase(batch);
  return real_end_defer(batch);
}

template <typename F>
void patch(F* real, const char* name, F stand_in) {
  *real = reinterpret_cast<F>(import_patch("user32.dll", name, reinterpret_cast<void*>(stand_in)));
}

}  // namespace

void call_failures_install() {
  if (!real_set_prop) {
    patch(&real_set_prop, "SetPropA", set_prop);
    patch(&real_begin_defer, "BeginDeferWindowPos", begin_defer);
    patch(&real_defer, "DeferWindowPos", defer);
    patch(&real_end_defer, "EndDeferWindowPos", end_defer);
  }
  set_prop_failure = begin_defer_failure = defer_failure = CallFailure{};
  open_batches.clear();
}

int batches_open() { return static_cast<int>(open_batches.size()); }
