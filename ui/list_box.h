#pragma once
#include "ui/control.h"

#include <functional>
#include <string>

namespace ui {

// The text of the error raised for an item index that names no item.
inline constexpr char kListIndexError[] = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";

// A standard list box of string items (LBS_NOTIFY, LBS_NOINTEGRALHEIGHT, sunken edge, vertical scroll bar).
// It is a Unicode window: items hold any UTF-16 text, and the narrow forms convert Shift-JIS with code page 932.
// Every item change goes through the list box messages (LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
// LB_RESETCONTENT) by SendMessageW, so a derived class sees them in HandleMessage, their texts as wchar_t.
class ListBox : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 121, height = 97;
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        bool multiSelect = false; // LBS_EXTENDEDSEL
        int itemHeight = 0;       // 0: the font's height
    };

    void Create(const CreateArgs& args);

    // Item operations; an index that names no item raises Error(kListIndexError), except in DeleteItem,
    // which passes LB_DELETESTRING on as it is (the list box ignores a bad index).
    int AddItem(const std::wstring& text);
    int InsertItem(int index, const std::wstring& text);
    int AddItem(const std::string& text);
    int InsertItem(int index, const std::string& text);
    void DeleteItem(int index);
    void Clear();
    int Count() const;
    std::wstring WideItem(int index) const;

    int SelectedCount() const; // single selection: 1 when an item is selected
    bool IsSelected(int index) const;
    void SetSelected(int index, bool selected);
    // Single selection: the selected item (-1 none). Multiple selection: the item with the focus rectangle.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool MultiSelect() const noexcept { return multiSelect_; }

    // After the user changes the selection (LBN_SELCHANGE).
    std::function<void()> onClick;

protected:
    // The window style the list box is created with; derived classes may add to it (e.g. WS_HSCROLL).
    virtual DWORD CreationStyle(DWORD style) const { return style; }
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    bool multiSelect_ = false;
    int itemHeight_ = 0; // at 96 DPI
};

} // namespace ui
