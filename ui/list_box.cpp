#include "ui/list_box.h"

#include "ui/error.h"
#include "base/codepage.h"

namespace ui {
namespace {

[[noreturn]] void ThrowIndexError() {
    throw Error(kListIndexError);
}

} // namespace

void ListBox::Create(const CreateArgs& args) {
    multiSelect_ = args.multiSelect;
    DWORD style = WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (multiSelect_ ? LBS_EXTENDEDSEL : 0);
    CreateControl(L"LISTBOX", false, PlacementOf(args), CreationStyle(style), WS_EX_CLIENTEDGE);
    itemHeight_ = args.itemHeight;
    if (itemHeight_ > 0)
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, Scaled(itemHeight_));
}

int ListBox::AddItem(const std::string& text) {
    return AddItem(kelvad::ToWide(text));
}

int ListBox::InsertItem(int index, const std::string& text) {
    return InsertItem(index, kelvad::ToWide(text));
}

int ListBox::AddItem(const std::wstring& text) {
    auto index = SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        throw Error("ﾘｽﾄに項目を追加できません");
    return static_cast<int>(index);
}

int ListBox::InsertItem(int index, const std::wstring& text) {
    if (index < 0 || index > Count())
        ThrowIndexError();
    auto result = SendMessageW(Handle(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    if (result < 0)
        throw Error("ﾘｽﾄに項目を追加できません");
    return static_cast<int>(result);
}

void ListBox::DeleteItem(int index) {
    // Passed on unchecked, so that a derived list sees the message and decides about bad indexes.
    SendMessageW(Handle(), LB_DELETESTRING, index, 0);
}

void ListBox::Clear() {
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

int ListBox::Count() const {
    return Handle() ? static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)) : 0;
}

std::wstring ListBox::WideItem(int index) const {
    auto length = Handle() ? SendMessageW(Handle(), LB_GETTEXTLEN, index, 0) : LB_ERR;
    if (length < 0)
        ThrowIndexError();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    auto copied = SendMessageW(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

int ListBox::SelectedCount() const {
    if (!Handle())
        return 0;
    if (multiSelect_)
        return static_cast<int>(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0));
    return SendMessageW(Handle(), LB_GETCURSEL, 0, 0) >= 0 ? 1 : 0;
}

bool ListBox::IsSelected(int index) const {
    auto selected = Handle() ? SendMessageW(Handle(), LB_GETSEL, index, 0) : LB_ERR;
    if (selected < 0)
        ThrowIndexError();
    return selected > 0;
}

void ListBox::SetSelected(int index, bool selected) {
    if (index < 0 || index >= Count())
        ThrowIndexError();
    if (multiSelect_)
        SendMessageW(Handle(), LB_SETSEL, selected ? TRUE : FALSE, index);
    else if (selected)
        SendMessageW(Handle(), LB_SETCURSEL, index, 0);
    else if (ItemIndex() == index)
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int ListBox::ItemIndex() const {
    if (!Handle())
        return -1;
    if (multiSelect_)
        return Count() > 0 ? static_cast<int>(SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0)) : -1;
    return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void ListBox::SetItemIndex(int index) {
    if (!Handle())
        return;
    if (multiSelect_)
        SendMessageW(Handle(), LB_SETCARETINDEX, index, FALSE);
    else
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ListBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        if (auto handler = onClick)
            handler();
        result = 0;
        return true;
    }
    return false;
}

void ListBox::DpiChanged() {
    Control::DpiChanged();
    if (Handle() && itemHeight_ > 0)
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, Scaled(itemHeight_));
}

} // namespace ui
