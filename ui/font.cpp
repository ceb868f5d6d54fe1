#include "ui/font.h"

#include "base/codepage.h"
#include "ui/handle.h"

#include <map>
#include <tuple>

namespace ui {

HFONT FontHandle(const FontSpec& font) {
    if (font.face.empty())
        return nullptr;
    // Fonts live until the program ends: every window may keep using the one it was given.
    static std::map<std::tuple<std::string, int, bool, BYTE>, GdiObject> cache;
    auto key = std::make_tuple(font.face, font.height, font.bold, font.charset);
    auto found = cache.find(key);
    if (found != cache.end())
        return static_cast<HFONT>(found->second.get());

    GdiObject made = MakeFont(font);
    if (!made)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const auto handle = static_cast<HFONT>(made.get());
    cache.emplace(key, std::move(made));
    return handle;
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
