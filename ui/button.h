#pragma once
#include "ui/control.h"
#include "ui/handle.h"

#include <functional>
#include <string>

namespace ui {

// A push button, drawn by the toolkit, with an optional glyph left of the caption. The glyph bitmap holds
// numGlyphs cells side by side (cell 0 normal, cell 1 disabled); its bottom-left pixel is the transparent
// colour. With one cell the disabled look is an embossed grey image.
class Button : public Control {
public:
    enum class Kind { Normal, Close };

    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 75, height = 25;
        std::string caption{};
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        Kind kind = Kind::Normal;
        int modalResult = 0;
        HBITMAP glyph = nullptr; // borrowed: must outlive the button
        int numGlyphs = 1;
    };

    void Create(const CreateArgs& args);

    // Borrowed glyph (the caller keeps it alive) or owned glyph (the button deletes it).
    void SetGlyph(HBITMAP glyph, int numGlyphs = 1);
    void SetGlyph(GdiObject glyph, int numGlyphs = 1);
    // The glyph resource (an id or a name) drawn for the form's DPI; drawn anew when the DPI changes.
    void SetGlyphResource(HINSTANCE instance, const wchar_t* name, int numGlyphs);
    HBITMAP Glyph() const noexcept { return glyph_; }
    int NumGlyphs() const noexcept { return numGlyphs_; }

    // A Close button closes its form through Form::Close and does not call onClick.
    Kind kind = Kind::Normal;
    // Non-zero: clicking sets the form's modalResult (which ends ShowModal).
    int modalResult = 0;
    std::function<void()> onClick;

    // Acts as a click: modalResult, then Close or onClick.
    void Click();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    void DpiChanged() override;
    void LoadGlyphResource();

    HBITMAP glyph_ = nullptr;
    GdiObject ownedGlyph_;
    int numGlyphs_ = 1;
    HINSTANCE glyphInstance_ = nullptr;
    std::wstring glyphName_; // a name, or empty for glyphId_
    WORD glyphId_ = 0;
};

} // namespace ui
