#include "ui/panel.h"

namespace ui {
namespace {

UINT EdgeFlags(Panel::Bevel outer, Panel::Bevel inner) {
    UINT edge = 0;
    if (outer == Panel::Bevel::Raised)
        edge |= BDR_RAISEDOUTER;
    else if (outer == Panel::Bevel::Lowered)
        edge |= BDR_SUNKENOUTER;
    if (inner == Panel::Bevel::Raised)
        edge |= BDR_RAISEDINNER;
    else if (inner == Panel::Bevel::Lowered)
        edge |= BDR_SUNKENINNER;
    return edge;
}

} // namespace

void Panel::Create(const CreateArgs& args) {
    RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr, ArrowCursor());
    outer_ = args.bevelOuter;
    inner_ = args.bevelInner;
    CreateControl(kClassName, true, PlacementOf(args), 0, 0);
}

bool Panel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_NCHITTEST:
        result = HTTRANSPARENT;
        return true;
    default:
        return PaintedControl::HandleMessage(msg, wParam, lParam, result);
    }
}

void Panel::Paint(HDC dc) {
    HWND parent = GetParent(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    for (HWND sibling = GetWindow(parent, GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == Handle() || !IsWindowVisible(sibling))
            continue;
        RECT rect{};
        GetWindowRect(sibling, &rect);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
        // A sibling that encloses the panel is a frame around it, not something placed over it.
        if (rect.left <= 0 && rect.top <= 0 && rect.right >= client.right && rect.bottom >= client.bottom)
            continue;
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (UINT edge = EdgeFlags(outer_, inner_))
        DrawEdge(dc, &client, edge, BF_RECT);
}

} // namespace ui
