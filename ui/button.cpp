#include "ui/button.h"

#include "ui/dpi.h"
#include "ui/form.h"

namespace ui {
namespace {

constexpr int kGlyphSpacing = 4;
// Where the source (mask) is black the brush is drawn, elsewhere the destination is kept.
constexpr DWORD kRopBrushThroughMask = 0x00B8074A;

// Draws cell `cell` of a glyph strip at (x, y); pixels of the strip's bottom-left colour stay transparent.
// embossed draws the cell's shape in the 3D highlight and shadow colours (the disabled look).
void DrawGlyphCell(HDC dc, HBITMAP glyph, int cell, int cellWidth, int cellHeight, int x, int y, bool embossed) {
    BITMAP info{};
    GetObjectW(glyph, sizeof info, &info);
    OwnedDc source(CreateCompatibleDC(dc));
    OwnedDc maskDc(CreateCompatibleDC(dc));
    GdiObject mask(CreateBitmap(cellWidth, cellHeight, 1, 1, nullptr));
    if (!source || !maskDc || !mask)
        return;
    SelectGuard selectGlyph(source.get(), glyph);
    SelectGuard selectMask(maskDc.get(), mask.get());
    int sourceX = cell * cellWidth;
    COLORREF transparent = GetPixel(source.get(), 0, info.bmHeight - 1);
    SetBkColor(source.get(), transparent);
    // Pixels of the transparent colour become white (1) in the mask, all others black (0).
    BitBlt(maskDc.get(), 0, 0, cellWidth, cellHeight, source.get(), sourceX, 0, SRCCOPY);

    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    if (embossed) {
        {
            SelectGuard brush(dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            BitBlt(dc, x + 1, y + 1, cellWidth, cellHeight, maskDc.get(), 0, 0, kRopBrushThroughMask);
        }
        SelectGuard brush(dc, GetSysColorBrush(COLOR_BTNSHADOW));
        BitBlt(dc, x, y, cellWidth, cellHeight, maskDc.get(), 0, 0, kRopBrushThroughMask);
    } else {
        BitBlt(dc, x, y, cellWidth, cellHeight, source.get(), sourceX, 0, SRCINVERT);
        BitBlt(dc, x, y, cellWidth, cellHeight, maskDc.get(), 0, 0, SRCAND);
        BitBlt(dc, x, y, cellWidth, cellHeight, source.get(), sourceX, 0, SRCINVERT);
    }
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

} // namespace

void Button::Create(const CreateArgs& args) {
    kind = args.kind;
    modalResult = args.modalResult;
    glyph_ = args.glyph;
    numGlyphs_ = args.numGlyphs < 1 ? 1 : args.numGlyphs;
    CreateControl(L"BUTTON", false, PlacementOf(args), BS_OWNERDRAW | WS_TABSTOP, 0);
}

void Button::SetGlyphResource(HINSTANCE instance, const wchar_t* name, int numGlyphs) {
    glyphInstance_ = instance;
    glyphName_ = IS_INTRESOURCE(name) ? std::wstring() : std::wstring(name);
    glyphId_ = IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)) : 0;
    numGlyphs_ = numGlyphs;
    LoadGlyphResource();
}

void Button::LoadGlyphResource() {
    const wchar_t* name = glyphName_.empty() ? MAKEINTRESOURCEW(glyphId_) : glyphName_.c_str();
    const HINSTANCE instance = glyphInstance_;
    const int numGlyphs = numGlyphs_;
    const std::wstring keptName = glyphName_;
    const WORD keptId = glyphId_;
    SetGlyph(GdiObject(LoadGlyphBitmap(instance, name, Parent() ? Parent()->Dpi() : kDesignDpi)), numGlyphs);
    // SetGlyph forgets the resource of an earlier glyph; this one is still it.
    glyphInstance_ = instance;
    glyphName_ = keptName;
    glyphId_ = keptId;
}

void Button::DpiChanged() {
    Control::DpiChanged();
    if (glyphInstance_ && ownedGlyph_)
        LoadGlyphResource();
}

void Button::SetGlyph(HBITMAP glyph, int numGlyphs) {
    glyphInstance_ = nullptr;
    ownedGlyph_.reset();
    glyph_ = glyph;
    numGlyphs_ = numGlyphs < 1 ? 1 : numGlyphs;
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void Button::SetGlyph(GdiObject glyph, int numGlyphs) {
    auto bitmap = static_cast<HBITMAP>(glyph.get());
    SetGlyph(bitmap, numGlyphs);
    ownedGlyph_ = std::move(glyph);
}

void Button::Click() {
    Form* form = Parent();
    if (modalResult != 0 && form)
        form->modalResult = modalResult;
    if (kind == Kind::Close) {
        if (form)
            form->Close();
        return;
    }
    // A copy: the handler may assign a new onClick while it runs.
    if (auto handler = onClick)
        handler();
}

bool Button::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_LBUTTONDBLCLK:
        // A quick second click is a click, not a double click.
        result = DefaultProc(WM_LBUTTONDOWN, wParam, lParam);
        return true;
    case WM_GETDLGCODE:
        // Enter presses the focused button.
        result = DLGC_BUTTON | (GetFocus() == Handle() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return true;
    case BM_SETSTYLE:
        // The dialog keys may try to make the button a (non-)default push button; it stays owner-drawn.
        result = DefaultProc(msg, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
        return true;
    default:
        return false;
    }
}

bool Button::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // BM_CLICK reaches a disabled button too; the user cannot click one.
        if (IsEnabled())
            Click();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return false;
}

void Button::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    bool pushed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    bool focused = (item.itemState & ODS_FOCUS) != 0;

    if (focused) {
        FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rect, -1, -1);
    }
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (pushed)
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));

    std::wstring caption = WideCaption();
    SelectGuard selectFont(dc, Font());
    UINT textFormat = DT_SINGLELINE | DT_VCENTER | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    RECT textSize{0, 0, 0, 0};
    if (!caption.empty())
        DrawTextW(dc, caption.c_str(), -1, &textSize, DT_CALCRECT | DT_SINGLELINE);
    int textWidth = textSize.right - textSize.left;

    int glyphWidth = 0, glyphHeight = 0;
    if (glyph_) {
        BITMAP info{};
        if (GetObjectW(glyph_, sizeof info, &info)) {
            glyphWidth = info.bmWidth / numGlyphs_;
            glyphHeight = info.bmHeight;
        }
    }
    const int spacing = Scaled(kGlyphSpacing);
    int total = glyphWidth + textWidth + (glyphWidth > 0 && textWidth > 0 ? spacing : 0);
    int offset = pushed ? 1 : 0;
    int x = rect.left + (rect.right - rect.left - total) / 2 + offset;
    if (glyphWidth > 0) {
        int y = rect.top + (rect.bottom - rect.top - glyphHeight) / 2 + offset;
        bool disabledCell = disabled && numGlyphs_ >= 2;
        DrawGlyphCell(dc, glyph_, disabledCell ? 1 : 0, glyphWidth, glyphHeight, x, y, disabled && !disabledCell);
        x += glyphWidth + spacing;
    }
    if (textWidth > 0) {
        RECT textRect{x, rect.top + offset, x + textWidth, rect.bottom + offset};
        int oldMode = SetBkMode(dc, TRANSPARENT);
        if (disabled) {
            RECT shifted = textRect;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextW(dc, caption.c_str(), -1, &shifted, textFormat);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        }
        DrawTextW(dc, caption.c_str(), -1, &textRect, textFormat);
        SetBkMode(dc, oldMode);
    }
    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focusRect = rect;
        InflateRect(&focusRect, -Scaled(3), -Scaled(3));
        DrawFocusRect(dc, &focusRect);
    }
}

} // namespace ui
