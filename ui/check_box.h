#pragma once
#include "ui/control.h"

#include <functional>
#include <string>

namespace ui {

// A check box (BS_AUTOCHECKBOX); onClick after each user toggle.
class CheckBox : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 97, height = 17;
        std::string caption{};
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        bool checked = false;
    };

    void Create(const CreateArgs& args);

    bool Checked() const;
    // Does not call onClick.
    void SetChecked(bool checked);
    std::function<void()> onClick;

protected:
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
