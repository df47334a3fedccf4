// Layout tables on the Windows API. Attaching one subclasses the dialog window: a window procedure
// in front of the dialog's own lays the controls out on WM_SIZE and then passes the message on,
// so the dialog's callback sees WM_SIZE with the controls already in place; it answers
// WM_GETMINMAXINFO with the table's limits, and on WM_NCDESTROY gives the window its procedure
// back and frees the layout's record. Dialogs without a table never meet any of this.
//
// The record lives in a window property of the dialog, beside the two of dialog.cpp (0x7D01 and
// 0x7D02); there is no list of dialogs.
#include "toolkit/layout.hpp"

#include "runtime/memory_blocks.hpp"
#include "toolkit/geometry.hpp"

namespace {

constexpr ATOM PROP_LAYOUT = 0x7D03;

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
  return static_cast<LayoutRecord*>(GetPropA(dialog, MAKEINTATOM(PROP_LAYOUT)));
}

// Lays the controls out for a client area of w by h pixels, in units as pixels_to_units gives
// them; the size grip, whose size is the system's, goes into the bottom-right corner, hidden
// while the dialog is maximised (no border to drag then). A row or grip without its control is
// passed over: one missing window would make the whole batch fail.
void layout_pass(HWND dialog, const LayoutRecord* record, int32_t w, int32_t h, bool maximised) {
  UnitPair client = pixels_to_units(dialog, w, h);
  HDWP batch = BeginDeferWindowPos(static_cast<int>(record->count) + 1);
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
    batch = DeferWindowPos(batch, control, nullptr, pixels.left, pixels.top, pixels.right,
                           pixels.bottom, LAYOUT_MOVE_FLAGS);
  }
  if (HWND grip = record->grip_id ? GetDlgItem(dialog, record->grip_id) : nullptr) {
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    batch = DeferWindowPos(batch, grip, nullptr, w - cx, h - cy, cx, cy,
                           LAYOUT_MOVE_FLAGS | (maximised ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
  }
  // A batch that could not be had, or that a failed step gave up, is 0: nothing moves.
  if (batch) EndDeferWindowPos(batch);
}

// The outer size of the window for a client area of `units`, with its frame, caption and menu
// bar as its styles give them.
SIZE outer_size(HWND dialog, UnitPair units) {
  UnitPair pixels = units_to_pixels(dialog, units.x, units.y);
  RECT rect = {0, 0, pixels.x, pixels.y};
  DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  DWORD ex_style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
  AdjustWindowRectEx(&rect, style, GetMenu(dialog) != nullptr, ex_style);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LONG at_least(LONG value, LONG least) { return value < least ? least : value; }
LONG at_most(LONG value, LONG most) { return value > most ? most : value; }

// The table's limits on top of what the system and the dialog's callback have put in: the least
// size only ever raised, the greatest only ever lowered.
void limits_apply(HWND dialog, const LayoutRecord* record, MINMAXINFO* info) {
  SIZE least = outer_size(dialog, record->minimum);
  info->ptMinTrackSize.x = at_least(info->ptMinTrackSize.x, least.cx);
  info->ptMinTrackSize.y = at_least(info->ptMinTrackSize.y, least.cy);
  SIZE most = outer_size(dialog, record->maximum);
  if (record->maximum.x) {
    info->ptMaxTrackSize.x = at_most(info->ptMaxTrackSize.x, most.cx);
    info->ptMaxSize.x = at_most(info->ptMaxSize.x, most.cx);
  }
  if (record->maximum.y) {
    info->ptMaxTrackSize.y = at_most(info->ptMaxTrackSize.y, most.cy);
    info->ptMaxSize.y = at_most(info->ptMaxSize.y, most.cy);
  }
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
      RemovePropA(dialog, MAKEINTATOM(PROP_LAYOUT));
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
    if (!SetPropA(dialog, MAKEINTATOM(PROP_LAYOUT), record)) {
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
      RemovePropA(dialog, MAKEINTATOM(PROP_LAYOUT));
      mem_free(record);
      return FALSE;
    }
  }
  // The dialog paints its background around its controls, never under them.
  SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
  if (record->grip_id) grip_create(dialog, record->grip_id);
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
