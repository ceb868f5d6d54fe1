#pragma once
#include <windows.h>

#include <string>

// <windows.h> maps MessageBox to MessageBoxA; the toolkit's function keeps its own name.
#undef MessageBox

namespace ui {

// MessageBoxW owned by the application window (or by owner when given, which it then stands above), modal to
// the whole application: the application's other top-level windows are disabled while it is up, and the window
// that was active is activated again afterwards. Text and caption are passed whole. Returns the button id
// (IDOK...).
int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags, HWND owner = nullptr);
// The same with Shift-JIS text and caption.
int MessageBox(const std::string& text, const std::string& caption, unsigned flags, HWND owner = nullptr);

} // namespace ui
