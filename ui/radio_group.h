#pragma once
#include "ui/control.h"

#include <functional>
#include <string>
#include <vector>

namespace ui {

// A captioned frame holding one radio button per item, in one column spread over the frame's height; at
// most one item is selected. onClick runs when the user selects an item.
class RadioGroup : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 185, height = 105;
        std::string caption{};
        std::vector<std::string> items{};
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        int itemIndex = -1;
    };

    void Create(const CreateArgs& args);

    int Count() const noexcept { return static_cast<int>(buttons_.size()); }
    // The selected item, -1 for none.
    int ItemIndex() const;
    // Selects the item (-1: none); does not call onClick.
    void SetItemIndex(int index);
    // The radio button of an item.
    HWND Button(int index) const;
    std::function<void()> onClick;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    // Lays the buttons out in the frame at the form's DPI, in the control's font.
    void PlaceButtons();

    std::vector<HWND> buttons_;
    int designWidth_ = 0, designHeight_ = 0; // at 96 DPI
};

} // namespace ui
