#pragma once
#include "ui/painted_control.h"

#include <string>

namespace ui {

// A plain area framed by an outer and an inner bevel. Controls of the same form placed over it appear in
// it: the panel never paints where a visible sibling lies (except one that encloses it, a frame around it) and
// lets the mouse through to what is below.
class Panel : public PaintedControl {
public:
    static constexpr const wchar_t* kClassName = L"UiPanel";
    enum class Bevel { None, Lowered, Raised };

    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 185, height = 41;
        std::string hint{};
        unsigned helpContext = 0;
        bool visible = true;
        Bevel bevelOuter = Bevel::Raised;
        Bevel bevelInner = Bevel::None;
    };

    void Create(const CreateArgs& args);

    Bevel BevelOuter() const noexcept { return outer_; }
    Bevel BevelInner() const noexcept { return inner_; }

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(HDC dc) override;

private:
    Bevel outer_ = Bevel::Raised;
    Bevel inner_ = Bevel::None;
};

} // namespace ui
