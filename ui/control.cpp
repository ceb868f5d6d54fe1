#include "ui/control.h"

#include "ui/dpi.h"
#include "ui/error.h"
#include "ui/form.h"

namespace ui {

Control::~Control() {
    if (parent_)
        parent_->RemoveControl(*this);
}

void Control::CreateControl(const wchar_t* className, bool ownClass, const ControlPlacement& placement, DWORD style,
                            DWORD exStyle) {
    if (Handle())
        throw Error("コントロールは作成済みです");
    if (!placement.parent || !placement.parent->Handle())
        throw Error("コントロールの親ウィンドウがありません");
    parent_ = placement.parent;
    hint_ = placement.hint;
    tabOrder_ = placement.tabOrder;
    helpContext = placement.helpContext;
    fontSpec_ = placement.font;
    design_ = {placement.left, placement.top, placement.width, placement.height};
    const int dpi = parent_->Dpi();
    style |= WS_CHILD | (placement.visible ? WS_VISIBLE : 0) | (placement.enabled ? 0 : WS_DISABLED);
    auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(parent_->NextControlId()));
    if (ownClass)
        CreateOwnClass(className, placement.caption, style, exStyle, Scale(placement.left, dpi),
                       Scale(placement.top, dpi), Scale(placement.width, dpi), Scale(placement.height, dpi),
                       parent_->Handle(), id);
    else
        CreateSubclassed(className, placement.caption, style, exStyle, Scale(placement.left, dpi),
                         Scale(placement.top, dpi), Scale(placement.width, dpi), Scale(placement.height, dpi),
                         parent_->Handle(), id);
    font_ = placement.font.face.empty() ? parent_->Font() : parent_->FontFor(placement.font);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    parent_->AddControl(*this);
}

void Control::Destroyed() {
    if (parent_)
        parent_->RemoveControl(*this);
    parent_ = nullptr;
}

int Control::Scaled(int designPixels) const noexcept {
    return Scale(designPixels, parent_ ? parent_->Dpi() : kDesignDpi);
}

void Control::DpiChanged() {
    if (!Handle() || !parent_)
        return;
    SetBounds(Scaled(design_.left), Scaled(design_.top), Scaled(design_.right), Scaled(design_.bottom));
    font_ = fontSpec_.face.empty() ? parent_->Font() : parent_->FontFor(fontSpec_);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void Control::SetVisible(bool visible) {
    if (Handle())
        ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
}

void Control::Focus() {
    if (Handle())
        SetFocus(Handle());
}

void Control::SetHint(const std::string& hint) {
    hint_ = hint;
    if (parent_)
        parent_->SetHint(*this, hint);
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (Handle())
        SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Control::Bounds() const {
    RECT rect{};
    if (Handle()) {
        GetWindowRect(Handle(), &rect);
        MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

} // namespace ui
