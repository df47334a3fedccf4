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
static_assert(ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].add == 0x143 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].remove == 0x144 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].select == 0x14E &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].reset == 0x14B &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].count == 0x146 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].get_selection == 0x147 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].get_text_length == 0x149 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].get_text == 0x148,
              "combo box messages");
static_assert(ITEM_BOX_MESSAGES[ITEM_BOX_LIST].add == 0x180 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].remove == 0x182 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].select == 0x186 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].reset == 0x184 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].count == 0x18B &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].get_selection == 0x188 &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].get_text_length == 0x18A &&
                  ITEM_BOX_MESSAGES[ITEM_BOX_LIST].get_text == 0x189,
              "list box messages");
