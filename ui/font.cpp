#include "ui/font.h"

#include "base/codepage.h"
#include "ui/handle.h"


namespace ui {

HFONT FontCache::Get(const FontSpec& font, int (*scale)(int height, int dpi), int dpi) {
    if (font.face.empty())
        return nullptr;
    const auto key = std::make_tuple(font.face, font.height, font.bold, font.charset);
    if (const auto found = fonts_.find(key); found != fonts_.end())
        return static_cast<HFONT>(found->second.get());
    FontSpec made = font;
    made.height = scale(font.height, dpi);
    GdiObject handle = MakeFont(made);
    if (!handle)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return static_cast<HFONT>(fonts_.emplace(key, std::move(handle)).first->second.get());
}

HFONT FontHandle(const FontSpec& font) {
    // Fonts live until the program ends: every window may keep using the one it was given.
    static FontCache cache;
    return cache.Get(font, [](int height, int) { return height; }, 96);
}

GdiObject MakeFont(const FontSpec& font) {
    LOGFONTW lf{};
    // A positive pixel height in the forms is the character height, which LOGFONT wants negative.
    lf.lfHeight = -font.height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = font.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = kelvad::ToWide(font.face);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return GdiObject(CreateFontIndirectW(&lf));
}

} // namespace ui
