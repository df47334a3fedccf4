// The Resizing application: its main procedure, its dialog callback and the layout rule.
#pragma once
#include <windows.h>

#include <stdint.h>

enum : int32_t { ID_REPORT = 101, ID_BUTTON = 201 };

// The background colour, red 255, green 192, blue 128.
constexpr COLORREF BACKGROUND_COLOUR = 0x0080C0FF;

// The dialog "Resizing" with its text box and push button, created hidden, controls of zero size.
HWND resizing_dialog_create();
INT_PTR CALLBACK resize_callback(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// n times the single-precision factor with these bits: the product formed exactly in extended
// precision, then rounded to the nearest integer, ties to even.
int32_t layout_scale(int32_t n, uint32_t factor_bits);
