// The two kinds of box with items, combo boxes and list boxes, differ only in their message
// numbers: one row of this table for each, from which the toolkit's combo_ and list_ operations
// are all made (control_ops.cpp, control_read_items.cpp) and control_add sends the initial
// items. Constant rows read at constant indexes: no table is stored in a program. The toolkit's
// own.
#pragma once
#include <windows.h>

struct ItemBoxMessages {
  UINT add;              // the text in lparam; answers the new item's 0-based index
  UINT remove;           // the 0-based index in wparam
  UINT select;           // the 0-based index in wparam, -1 for none
  UINT reset;            // removes every item
  UINT count;            // answers the number of items
  UINT get_selection;    // answers the selected 0-based index, or the error value for none
  UINT get_text_length;  // the index in wparam; answers the item text's length
  UINT get_text;         // the index in wparam, the buffer in lparam
};

enum ItemBox : int { ITEM_BOX_COMBO = 0, ITEM_BOX_LIST = 1 };

constexpr ItemBoxMessages ITEM_BOX_MESSAGES[] = {
    {CB_ADDSTRING, CB_DELETESTRING, CB_SETCURSEL, CB_RESETCONTENT, CB_GETCOUNT, CB_GETCURSEL,
     CB_GETLBTEXTLEN, CB_GETLBTEXT},
    {LB_ADDSTRING, LB_DELETESTRING, LB_SETCURSEL, LB_RESETCONTENT, LB_GETCOUNT, LB_GETCURSEL,
     LB_GETTEXTLEN, LB_GETTEXT},
};
static_assert(sizeof(ITEM_BOX_MESSAGES) / sizeof(ITEM_BOX_MESSAGES[0]) == 2, "two kinds of box");

// The platform's numbers, as the operations are documented with them.
constexpr bool item_box_messages_are(const ItemBoxMessages& m, UINT add, UINT remove, UINT select,
                                     UINT reset, UINT count, UINT get_selection,
                                     UINT get_text_length, UINT get_text) {
  return m.add == add && m.remove == remove && m.select == select && m.reset == reset &&
         m.count == count && m.get_selection == get_selection &&
         m.get_text_length == get_text_length && m.get_text == get_text;
}
static_assert(item_box_messages_are(ITEM_BOX_MESSAGES[ITEM_BOX_COMBO], 0x143, 0x144, 0x14E, 0x14B,
                                    0x146, 0x147, 0x149, 0x148),
              "combo box messages");
static_assert(item_box_messages_are(ITEM_BOX_MESSAGES[ITEM_BOX_LIST], 0x180, 0x182, 0x186, 0x184,
                                    0x18B, 0x188, 0x18A, 0x189),
              "list box messages");
