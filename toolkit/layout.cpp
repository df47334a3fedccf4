// Layout tables on the Windows API. Attaching one subclasses the dialog window: a window procedure
// in front of the dialog's own lays the controls out on WM_SIZE and then passes the message on,
// so the dialog's callback sees WM_SIZE with the controls already in place; it answers
// WM_GETMINMAXINFO with the table's limits, and on WM_NCDESTROY gives the window its procedure
// back and frees the layout's record. Dialogs without a table never meet any of this.
//
// The record lives in a window property of the dialog (WINDOW_PROPERTY_LAYOUT, with the toolkit's
// other atoms in window_properties.hpp); there is no list of dialogs.
#include "dialogkit/toolkit/layout.hpp"

#include "runtime/memory_blocks.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "toolkit/window_properties.hpp"

namespace {

// What a dialog's layout keeps while the dialog lives.
struct LayoutRecord {
  WNDPROC previous;  // the dialog's window procedure before the layout's
  const LayoutRow* rows;
  uint32_t count;
  UnitPair minimum;  // client size in units, zeros resolved at attach time
  UnitPair maximum;  // client size in units, 0 for no limit
  int32_t grip_id;   // 0 for no size grip
};

// Every control of one pass moves in one batch, position and size together. Its old pixels are
// not copied to the new place: a control that only moves is painted afresh there, instead of
// showing what the dialog had not painted yet when it grew. The dialog's background is not erased
// while the controls move, but once, when the dialog paints.
constexpr UINT LAYOUT_MOVE_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_DEFERERASE;

LayoutRecord* layout_record(HWND dialog) {
  return static_cast<LayoutRecord*>(GetPropA(dialog, MAKEINTATOM(WINDOW_PROPERTY_LAYOUT)));
}

// One control's move: a step of `batch` when there is one, else a move of its own. When the
// system refuses a step (it has no room to grow the batch), the batch is ended, so that the
// system keeps nothing of it, and 0 comes back.
HDWP layout_move(HDWP batch, HWND window, int x, int y, int cx, int cy, UINT flags) {
  if (!batch) {
    SetWindowPos(window, nullptr, x, y, cx, cy, flags);
    return nullptr;
  }
  HDWP next = DeferWindowPos(batch, window, nullptr, x, y, cx, cy, flags);
  if (!next) EndDeferWindowPos(batch);
  return next;
}

// Moves the controls for a client area of w by h pixels, in units as pixels_to_units gives them;
// the size grip, whose size is the system's, goes into the bottom-right corner, hidden while the
// dialog is maximised (no border to drag then). A row or grip without its control is passed
// over: one missing window would make the whole batch fail. Each move is a step of `batch`, or
// with none a move of its own. Returns the batch, 0 when a step was refused (or none was given).
HDWP layout_moves(HWND dialog, const LayoutRecord* record, int32_t w, int32_t h, bool maximised, HDWP batch) {
  bool batched = batch != nullptr;
  UnitPair client = pixels_to_units(dialog, w, h);
  for (uint32_t i = 0; i < record->count; ++i) {
    const LayoutRow& row = record->rows[i];
    HWND control = GetDlgItem(dialog, row.id);
    if (!control) continue;
    UnitRect place = layout_place(row, client);
    // MapDialogRect converts each value on its own axis: the position and the size come out as
    // units_to_pixels gives them for the pair each, as control_set_position and
    // control_set_size would convert them.
    RECT pixels = {place.x, place.y, place.width, place.height};
    MapDialogRect(dialog, &pixels);
    batch = layout_move(batch, control, pixels.left, pixels.top, pixels.right, pixels.bottom, LAYOUT_MOVE_FLAGS);
    if (batched && !batch) return nullptr;
  }
  if (HWND grip = record->grip_id ? GetDlgItem(dialog, record->grip_id) : nullptr) {
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    batch = layout_move(batch, grip, w - cx, h - cy, cx, cy,
                        LAYOUT_MOVE_FLAGS | (maximised ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
  }
  return batch;
}

// One layout pass: every move in one batch; when the system cannot give the batch, refuses a
// step of it or cannot carry it out, every control is moved on its own instead (those the batch
// did move stay where they are). The controls are where the table says whatever the system
// refused, and the grip is hidden while the dialog is maximised.
void layout_pass(HWND dialog, const LayoutRecord* record, int32_t w, int32_t h, bool maximised) {
  if (HDWP batch = BeginDeferWindowPos(static_cast<int>(record->count) + 1)) {
    batch = layout_moves(dialog, record, w, h, maximised, batch);
    if (batch && EndDeferWindowPos(batch)) return;
  }
  layout_moves(dialog, record, w, h, maximised, nullptr);
}

// The height of the window's frame, caption and menu bar at an outer width of `width` pixels, as
// the system computes the client area for that width: a menu bar takes more lines in a narrower
// window. The system keeps the bar's arrangement for the last width it measured, so the window's
// own width is measured again afterwards.
LONG frame_height_at(HWND dialog, LONG width) {
  const LONG tall = 0x4000;
  RECT probe = {0, 0, width, tall};
  DefWindowProcA(dialog, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&probe));
  RECT window;
  GetWindowRect(dialog, &window);
  RECT own = {0, 0, window.right - window.left, window.bottom - window.top};
  DefWindowProcA(dialog, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&own));
  return tall - (probe.bottom - probe.top);
}

// The outer size of the window for a client area of `units`, with the frame, caption and menu
// bar it has at that size (all the bar's lines). `width_at` not 0: the outer width at which to
// measure the frame's height instead (for a client width without a limit). The frame's width is
// the window's own, which is the same at any size. A minimised window, whose frame the system
// does not compute, counts one line of menu bar.
SIZE outer_size(HWND dialog, UnitPair units, LONG width_at) {
  UnitPair pixels = units_to_pixels(dialog, units.x, units.y);
  if (IsIconic(dialog)) {
    RECT rect = {0, 0, pixels.x, pixels.y};
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    DWORD ex_style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
    AdjustWindowRectEx(&rect, style, GetMenu(dialog) != nullptr, ex_style);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  }
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  LONG cx = pixels.x + (window.right - window.left) - client.right;
  return SIZE{cx, pixels.y + frame_height_at(dialog, width_at ? width_at : cx)};
}

LONG at_least(LONG value, LONG least) { return value < least ? least : value; }
LONG at_most(LONG value, LONG most) { return value > most ? most : value; }

// The table's limits on top of what the system and the dialog's callback have put in: the least
// size only ever raised, the greatest only ever lowered. The least height is that of the least
// width, where the menu bar has the most lines; the greatest that of the greatest width (or,
// without a greatest width, of the widest the window may be), where it has the fewest.
void limits_apply(HWND dialog, const LayoutRecord* record, MINMAXINFO* info) {
  SIZE least = outer_size(dialog, record->minimum, 0);
  info->ptMinTrackSize.x = at_least(info->ptMinTrackSize.x, least.cx);
  info->ptMinTrackSize.y = at_least(info->ptMinTrackSize.y, least.cy);
  if (!record->maximum.x && !record->maximum.y) return;
  SIZE most = outer_size(dialog, record->maximum, record->maximum.x ? 0 : info->ptMaxTrackSize.x);
  if (record->maximum.x) {
    info->ptMaxTrackSize.x = at_most(info->ptMaxTrackSize.x, most.cx);
    info->ptMaxSize.x = at_most(info->ptMaxSize.x, most.cx);
  }
  if (record->maximum.y) {
    info->ptMaxTrackSize.y = at_most(info->ptMaxTrackSize.y, most.cy);
    info->ptMaxSize.y = at_most(info->ptMaxSize.y, most.cy);
  }
}

// Brings a dialog that is smaller than the least size (or larger than the greatest) within the
// limits now, rather than at its first size change. A maximised or minimised dialog is left as
// it is: it gets its size when it is restored.
void limits_keep(HWND dialog, const LayoutRecord* record) {
  if (IsZoomed(dialog) || IsIconic(dialog)) return;
  MINMAXINFO info = {};
  info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  info.ptMaxSize = info.ptMaxTrackSize;
  limits_apply(dialog, record, &info);
  RECT window;
  GetWindowRect(dialog, &window);
  LONG cx = at_most(at_least(window.right - window.left, info.ptMinTrackSize.x), info.ptMaxTrackSize.x);
  LONG cy = at_most(at_least(window.bottom - window.top, info.ptMinTrackSize.y), info.ptMaxTrackSize.y);
  if (cx != window.right - window.left || cy != window.bottom - window.top)
    SetWindowPos(dialog, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK layout_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  LayoutRecord* record = layout_record(dialog);
  WNDPROC previous = record->previous;
  switch (message) {
    case WM_SIZE:
      layout_pass(dialog, record, LOWORD(lparam), HIWORD(lparam), wparam == SIZE_MAXIMIZED);
      break;
    case WM_GETMINMAXINFO: {
      LRESULT result = CallWindowProcA(previous, dialog, message, wparam, lparam);
      // The system always passes the record; a message sent without one has nothing to limit.
      if (lparam) limits_apply(dialog, record, reinterpret_cast<MINMAXINFO*>(lparam));
      return result;
    }
    case WM_NCDESTROY:
      RemovePropA(dialog, MAKEINTATOM(WINDOW_PROPERTY_LAYOUT));
      SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      mem_free(record);
      break;
  }
  return CallWindowProcA(previous, dialog, message, wparam, lparam);
}

// The size grip: a size-box scroll bar, which the system draws and which sizes its parent when
// dragged. Made at no size; the layout pass places it.
void grip_create(HWND dialog, int32_t id) {
  if (GetDlgItem(dialog, id)) return;
  const DWORD style = WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN;
  CreateWindowExA(0, "SCROLLBAR", nullptr, style, 0, 0, 0, 0, dialog,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
}

}  // namespace

BOOL layout_attach(HWND dialog, const DialogLayout* layout) {
  if (!layout || !IsWindow(dialog)) return FALSE;
  LayoutRecord* record = layout_record(dialog);
  bool fresh = record == nullptr;
  if (fresh) {
    void* block;
    if (mem_alloc(sizeof(LayoutRecord), &block) != ERR_NONE) return FALSE;
    record = static_cast<LayoutRecord*>(block);
    if (!SetPropA(dialog, MAKEINTATOM(WINDOW_PROPERTY_LAYOUT), record)) {
      mem_free(record);
      return FALSE;
    }
  }
  UnitPair client = dialog_get_client_size(dialog);
  record->rows = layout->rows;
  record->count = layout->count;
  record->minimum = UnitPair{layout->minimum.x ? layout->minimum.x : client.x,
                             layout->minimum.y ? layout->minimum.y : client.y};
  record->maximum = layout->maximum;
  record->grip_id = layout->grip_id;
  if (fresh) {
    record->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layout_procedure)));
    // Refused (a window of another process): no procedure of ours will ever free the record.
    if (!record->previous) {
      RemovePropA(dialog, MAKEINTATOM(WINDOW_PROPERTY_LAYOUT));
      mem_free(record);
      return FALSE;
    }
  }
  // The dialog paints its background around its controls, never under them.
  SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
  if (record->grip_id) grip_create(dialog, record->grip_id);
  limits_keep(dialog, record);
  layout_apply(dialog);
  return TRUE;
}

void layout_apply(HWND dialog) {
  const LayoutRecord* record = layout_record(dialog);
  if (!record) return;
  RECT client;
  GetClientRect(dialog, &client);
  layout_pass(dialog, record, client.right, client.bottom, IsZoomed(dialog));
}
