#pragma once
// The invariants every window of the program keeps, at any DPI: each visible control lies inside the client area,
// no two visible controls overlap (a frame that wholly holds another is no overlap), and Tab walks the controls in
// the designed order and comes back to the first.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/label.h"

namespace layout_test {

inline RECT PlaceInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A length the design fixes (pixels at 96 DPI), at the DPI the form is laid out for.
inline int Design(HWND form, int pixels) {
    auto* owner = dynamic_cast<ui::Form*>(ui::Window::FromHandle(form));
    return ui::Scale(pixels, owner ? owner->Dpi() : ui::kDesignDpi);
}

// Per shown control (by its own style: the form may be hidden), by id, and the client area as id 0: left, top,
// width, height, font height. A label's width follows the font's rendering of its text, and so does the height of
// one that fits its text: those are -1.
using Measures = std::map<int, std::vector<long>>;
inline std::vector<std::pair<HWND, RECT>> Shown(HWND form) {
    std::vector<std::pair<HWND, RECT>> shown;
    for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)
            shown.emplace_back(c, PlaceInParent(c));
    }
    return shown;
}
inline Measures Measure(HWND form) {
    RECT client{};
    GetClientRect(form, &client);
    Measures measures{{0, {0, 0, client.right, client.bottom, 0}}};
    for (const auto& [c, r] : Shown(form)) {
        auto* label = dynamic_cast<ui::Label*>(ui::Window::FromHandle(c));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof font, &font);
        measures[GetDlgCtrlID(c)] = {r.left, r.top, label ? -1 : r.right - r.left,
                                     label && label->autoSize ? -1 : r.bottom - r.top, std::abs(font.lfHeight)};
    }
    return measures;
}

// Every measure of `now` is that of `design` x scale, within two pixels of rounding.
inline void ExpectScaled(const Measures& design, const Measures& now, double scale) {
    EXPECT_EQ(now.size(), design.size());
    for (const auto& [id, numbers] : now) {
        const auto found = design.find(id);
        ASSERT_NE(found, design.end()) << "control #" << id;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (numbers[i] >= 0) {
                EXPECT_LE(std::abs(numbers[i] - std::lround(found->second[i] * scale)), 2) << "#" << id << " " << i;
            }
        }
    }
}

// KELVAD_LAYOUT_RECORD: the measures of each check in turn are appended to that file. KELVAD_LAYOUT_BASE: a file so
// recorded at 96 DPI by the same tests, whose measures must be these scaled to the form's DPI.
inline void RecordOrCompare(HWND form) {
    static int sequence = 0;
    const int check = sequence++;
    const Measures now = Measure(form);
    if (const char* record = std::getenv("KELVAD_LAYOUT_RECORD")) {
        std::ofstream out(record, std::ios::app);
        for (const auto& [id, n] : now)
            out << check << " " << id << " " << n[0] << " " << n[1] << " " << n[2] << " " << n[3] << " " << n[4]
                << "\n";
    }
    const char* base = std::getenv("KELVAD_LAYOUT_BASE");
    if (!base)
        return;
    Measures design;
    std::ifstream in(base);
    for (int at = 0, id = 0; in >> at >> id;) {
        std::vector<long> n(5);
        in >> n[0] >> n[1] >> n[2] >> n[3] >> n[4];
        if (at == check)
            design[id] = n;
    }
    const int dpi = dynamic_cast<ui::Form&>(*ui::Window::FromHandle(form)).Dpi();
    EXPECT_NE(dpi, ui::kDesignDpi) << "the comparison wants another DPI than the recording";
    ExpectScaled(design, now, dpi / double(ui::kDesignDpi));
}

// What lies inside the shown controls: the windows a control made itself (a radio group's buttons), by control id
// x 100 + their own, as Measure gives them; the hint font's height as -1. Apart: every list's horizontal extent.
inline Measures Inner(ui::Form& form) {
    Measures inner;
    for (const auto& [c, r] : Shown(form.Handle())) {
        for (const auto& [id, n] : Measure(c))
            inner[GetDlgCtrlID(c) * 100 + id] = n;
        inner.erase(GetDlgCtrlID(c) * 100);
    }
    LOGFONTW hint{};
    if (GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(form.Tooltip(), WM_GETFONT, 0, 0)), sizeof hint, &hint))
        inner[-1] = {0, 0, 0, 0, std::abs(hint.lfHeight)};
    return inner;
}
inline std::vector<long> Extents(HWND form) {
    std::vector<long> extents;
    for (HWND c = FindWindowExW(form, nullptr, L"ListBox", nullptr); c; c = FindWindowExW(form, c, L"ListBox", nullptr))
        extents.push_back(static_cast<long>(SendMessageW(c, LB_GETHORIZONTALEXTENT, 0, 0)));
    return extents;
}

// Moved to a monitor of twice the DPI (to the suggested place) and back: the controls, what lies inside them and the
// lists' extents (text widths: within a quarter) twice the size, then exactly as before. atDouble runs in between.
template <class F> void ExpectDpiRoundTrip(ui::Form& form, F atDouble) {
    const int dpi = form.Dpi();
    const Measures outer = Measure(form.Handle()), inner = Inner(form);
    const std::vector<long> extents = Extents(form.Handle());
    for (const int to : {dpi * 2, dpi}) {
        RECT suggested = form.OuterRect();
        OffsetRect(&suggested, 10, 20);
        SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(to, to),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(form.OuterRect().left, suggested.left);
        EXPECT_EQ(form.OuterRect().top, suggested.top);
        ExpectScaled(outer, Measure(form.Handle()), to / double(dpi));
        ExpectScaled(inner, Inner(form), to / double(dpi));
        const std::vector<long> now = Extents(form.Handle());
        for (std::size_t i = 0; i < extents.size() && i < now.size(); ++i)
            EXPECT_NEAR(now[i], to / dpi * extents[i], to == dpi ? 0 : 2 + extents[i] / 4) << "list " << i;
        if (to != dpi)
            atDouble();
    }
}

inline void ExpectLayout(HWND form, const std::vector<HWND>& tabOrder) {
    RecordOrCompare(form);
    RECT client{};
    GetClientRect(form, &client);
    const auto shown = Shown(form);
    ASSERT_FALSE(shown.empty());
    auto holds = [](const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const RECT& a = shown[i].second;
        EXPECT_TRUE(holds(client, a)) << "#" << GetDlgCtrlID(shown[i].first) << " leaves the client area";
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const RECT& b = shown[j].second;
            RECT common{};
            if (IntersectRect(&common, &a, &b) && !holds(a, b) && !holds(b, a))
                ADD_FAILURE() << "#" << GetDlgCtrlID(shown[i].first) << " overlaps #" << GetDlgCtrlID(shown[j].first);
        }
    }
    if (tabOrder.empty())
        return;
    std::vector<HWND> walked{tabOrder.front()};
    while (walked.size() <= tabOrder.size())
        walked.push_back(GetNextDlgTabItem(form, walked.back(), FALSE));
    std::vector<HWND> expected = tabOrder;
    expected.push_back(tabOrder.front());
    EXPECT_EQ(walked, expected) << "the tab order";
}

} // namespace layout_test
