#include "ui/gauge.h"

#include "ui/handle.h"

#include <string>

namespace ui {

void Gauge::Create(const CreateArgs& args) {
    RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr, ArrowCursor());
    value_ = args.value < 0 ? 0 : (args.value > 100 ? 100 : args.value);
    CreateControl(kClassName, true, PlacementOf(args), 0, 0);
}

void Gauge::SetValue(int value) {
    value = value < 0 ? 0 : (value > 100 ? 100 : value);
    if (value == value_)
        return;
    value_ = value;
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

bool Gauge::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SETFONT:
        result = DefaultProc(msg, wParam, lParam);
        InvalidateRect(Handle(), nullptr, FALSE);
        return true;
    default:
        return PaintedControl::HandleMessage(msg, wParam, lParam, result);
    }
}

void Gauge::Paint(HDC target) {
    RECT client{};
    GetClientRect(Handle(), &client);
    int width = client.right;
    int height = client.bottom;
    // Drawn off screen and copied in one go, so the bar does not flicker at every step.
    if (!offscreen_ || offscreenSize_.cx != width || offscreenSize_.cy != height) {
        offscreen_.reset();
        offscreenBitmap_.reset(CreateCompatibleBitmap(target, width, height));
        offscreen_.reset(CreateCompatibleDC(target));
        if (!offscreen_ || !offscreenBitmap_ || !SelectObject(offscreen_.get(), offscreenBitmap_.get())) {
            offscreen_.reset();
            return;
        }
        offscreenSize_ = {width, height};
    }
    HDC dc = offscreen_.get();

    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT inside = client;
    InflateRect(&inside, -1, -1);
    RECT filled = inside;
    filled.right = inside.left + (inside.right - inside.left) * value_ / 100;
    RECT empty = inside;
    empty.left = filled.right;
    GdiObject blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc, &filled, static_cast<HBRUSH>(blue.get()));
    FillRect(dc, &empty, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const std::wstring text = std::to_wstring(value_) + L"%";
    const int length = static_cast<int>(text.size());
    SelectGuard selectFont(dc, Font());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    int x = inside.left + (inside.right - inside.left - extent.cx) / 2;
    int y = inside.top + (inside.bottom - inside.top - extent.cy) / 2;
    SetBkMode(dc, TRANSPARENT);
    // The text is black on the white part and white on the blue part.
    SetTextColor(dc, RGB(0, 0, 0));
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &empty, text.c_str(), length, nullptr);
    SetTextColor(dc, RGB(255, 255, 255));
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &filled, text.c_str(), length, nullptr);

    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

} // namespace ui
