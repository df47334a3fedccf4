// The Resizing application: its main procedure, its dialog callback and the layout rule.
#pragma once
#include <windows.h>

#include <stdint.h>

enum : int32_t { ID_REPORT = 101, ID_BUTTON = 201 };

// The background colour: light orange.
constexpr COLORREF BACKGROUND_COLOUR = RGB(255, 192, 128);
static_assert(BACKGROUND_COLOUR == 0x0080C0FF, "background colour");

// The dialog "Resizing" with its text box and push button, created hidden, controls of zero size.
HWND resizing_dialog_create();
INT_PTR CALLBACK resize_callback(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
