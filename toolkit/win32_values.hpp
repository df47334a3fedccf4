// The platform's window-style bits and system cursor identifiers that the toolkit's pure logic
// works with: the control kind table, the control and dialog style rules, the cursor table.
//
// The host build has no windows.h, so these are the toolkit's own copies. Each is named WIN_ and
// the platform's name, and the Windows builds check every copy against windows.h below. Code that
// runs only on the Windows API uses the platform's names directly.
#pragma once
#include <stdint.h>

// Window styles.
constexpr uint32_t WIN_WS_POPUP = 0x80000000;
constexpr uint32_t WIN_WS_CHILD = 0x40000000;
constexpr uint32_t WIN_WS_MINIMIZE = 0x20000000;
constexpr uint32_t WIN_WS_VISIBLE = 0x10000000;
constexpr uint32_t WIN_WS_DISABLED = 0x08000000;
constexpr uint32_t WIN_WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WIN_WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WIN_WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WIN_WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
constexpr uint32_t WIN_WS_BORDER = 0x00800000;
constexpr uint32_t WIN_WS_DLGFRAME = 0x00400000;
constexpr uint32_t WIN_WS_VSCROLL = 0x00200000;
constexpr uint32_t WIN_WS_HSCROLL = 0x00100000;
constexpr uint32_t WIN_WS_SYSMENU = 0x00080000;
constexpr uint32_t WIN_WS_THICKFRAME = 0x00040000;
constexpr uint32_t WIN_WS_TABSTOP = 0x00010000;

// Extended window styles.
constexpr uint32_t WIN_WS_EX_CLIENTEDGE = 0x00000200;

// Dialog styles.
constexpr uint32_t WIN_DS_SYSMODAL = 0x0002;
constexpr uint32_t WIN_DS_3DLOOK = 0x0004;
constexpr uint32_t WIN_DS_NOFAILCREATE = 0x0010;
constexpr uint32_t WIN_DS_SETFONT = 0x0040;
constexpr uint32_t WIN_DS_MODALFRAME = 0x0080;
constexpr uint32_t WIN_DS_CENTER = 0x0800;

// Button styles: the type in the low four bits, then the look.
constexpr uint32_t WIN_BS_PUSHBUTTON = 0x0000;
constexpr uint32_t WIN_BS_DEFPUSHBUTTON = 0x0001;
constexpr uint32_t WIN_BS_AUTOCHECKBOX = 0x0003;
constexpr uint32_t WIN_BS_AUTO3STATE = 0x0006;
constexpr uint32_t WIN_BS_GROUPBOX = 0x0007;
constexpr uint32_t WIN_BS_AUTORADIOBUTTON = 0x0009;
constexpr uint32_t WIN_BS_TYPEMASK = 0x000F;
constexpr uint32_t WIN_BS_ICON = 0x0040;
constexpr uint32_t WIN_BS_BITMAP = 0x0080;
constexpr uint32_t WIN_BS_PUSHLIKE = 0x1000;
constexpr uint32_t WIN_BS_NOTIFY = 0x4000;

// Static, scroll bar, edit, combo box and list box styles.
constexpr uint32_t WIN_SS_LEFT = 0x0000;
constexpr uint32_t WIN_SS_ICON = 0x0003;
constexpr uint32_t WIN_SS_BITMAP = 0x000E;
constexpr uint32_t WIN_SS_ETCHEDFRAME = 0x0012;
constexpr uint32_t WIN_SBS_HORZ = 0x0000;
constexpr uint32_t WIN_SBS_VERT = 0x0001;
constexpr uint32_t WIN_ES_AUTOHSCROLL = 0x0080;
constexpr uint32_t WIN_CBS_DROPDOWN = 0x0002;
constexpr uint32_t WIN_CBS_SORT = 0x0100;
constexpr uint32_t WIN_LBS_NOTIFY = 0x0001;
constexpr uint32_t WIN_LBS_SORT = 0x0002;

// System cursor identifiers. The platform spells these as resource-name pointers, which no
// constant expression can compare: the Windows tests compare them at run time.
constexpr uint16_t WIN_IDC_ARROW = 32512;
constexpr uint16_t WIN_IDC_IBEAM = 32513;
constexpr uint16_t WIN_IDC_WAIT = 32514;
constexpr uint16_t WIN_IDC_CROSS = 32515;
constexpr uint16_t WIN_IDC_UPARROW = 32516;
constexpr uint16_t WIN_IDC_SIZENWSE = 32642;
constexpr uint16_t WIN_IDC_SIZENESW = 32643;
constexpr uint16_t WIN_IDC_SIZEWE = 32644;
constexpr uint16_t WIN_IDC_SIZENS = 32645;
constexpr uint16_t WIN_IDC_SIZEALL = 32646;
constexpr uint16_t WIN_IDC_NO = 32648;
constexpr uint16_t WIN_IDC_APPSTARTING = 32650;

// The Windows builds check each copy against the platform's own definition.
#ifdef _WIN32
#include <windows.h>

#define WIN32_VALUE_IS(name) static_assert(WIN_##name == (name), #name)
WIN32_VALUE_IS(WS_POPUP);
WIN32_VALUE_IS(WS_CHILD);
WIN32_VALUE_IS(WS_MINIMIZE);
WIN32_VALUE_IS(WS_VISIBLE);
WIN32_VALUE_IS(WS_DISABLED);
WIN32_VALUE_IS(WS_CLIPSIBLINGS);
WIN32_VALUE_IS(WS_CLIPCHILDREN);
WIN32_VALUE_IS(WS_MAXIMIZE);
WIN32_VALUE_IS(WS_CAPTION);
WIN32_VALUE_IS(WS_BORDER);
WIN32_VALUE_IS(WS_DLGFRAME);
WIN32_VALUE_IS(WS_VSCROLL);
WIN32_VALUE_IS(WS_HSCROLL);
WIN32_VALUE_IS(WS_SYSMENU);
WIN32_VALUE_IS(WS_THICKFRAME);
WIN32_VALUE_IS(WS_TABSTOP);
WIN32_VALUE_IS(WS_EX_CLIENTEDGE);
WIN32_VALUE_IS(DS_SYSMODAL);
WIN32_VALUE_IS(DS_3DLOOK);
WIN32_VALUE_IS(DS_NOFAILCREATE);
WIN32_VALUE_IS(DS_SETFONT);
WIN32_VALUE_IS(DS_MODALFRAME);
WIN32_VALUE_IS(DS_CENTER);
WIN32_VALUE_IS(BS_PUSHBUTTON);
WIN32_VALUE_IS(BS_DEFPUSHBUTTON);
WIN32_VALUE_IS(BS_AUTOCHECKBOX);
WIN32_VALUE_IS(BS_AUTO3STATE);
WIN32_VALUE_IS(BS_GROUPBOX);
WIN32_VALUE_IS(BS_AUTORADIOBUTTON);
WIN32_VALUE_IS(BS_TYPEMASK);
WIN32_VALUE_IS(BS_ICON);
WIN32_VALUE_IS(BS_BITMAP);
WIN32_VALUE_IS(BS_PUSHLIKE);
WIN32_VALUE_IS(BS_NOTIFY);
WIN32_VALUE_IS(SS_LEFT);
WIN32_VALUE_IS(SS_ICON);
WIN32_VALUE_IS(SS_BITMAP);
WIN32_VALUE_IS(SS_ETCHEDFRAME);
WIN32_VALUE_IS(SBS_HORZ);
WIN32_VALUE_IS(SBS_VERT);
WIN32_VALUE_IS(ES_AUTOHSCROLL);
WIN32_VALUE_IS(CBS_DROPDOWN);
WIN32_VALUE_IS(CBS_SORT);
WIN32_VALUE_IS(LBS_NOTIFY);
WIN32_VALUE_IS(LBS_SORT);
#undef WIN32_VALUE_IS
#endif
