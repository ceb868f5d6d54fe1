#pragma once
// The invariants every window of the program keeps: each visible control lies inside the client area, no two
// visible controls overlap (a frame that wholly holds another is no overlap), and Tab walks the controls in
// the designed order and comes back to the first.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
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

inline bool Holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The form's direct children that are shown (by their own style: the form itself may still be hidden).
inline std::vector<HWND> VisibleControls(HWND form) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)
            controls.push_back(child);
    }
    return controls;
}

inline std::string Name(HWND control) {
    wchar_t text[128] = {};
    GetWindowTextW(control, text, 128);
    char bytes[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return "#" + std::to_string(GetDlgCtrlID(control)) + " " + bytes;
}

// The form's client size, and each visible control's place, size and font height, as one line each. The size of a
// label that fits its text follows the font's rendering, not the design: it is given as -1.
inline std::vector<std::string> Measure(HWND form, const std::string& key) {
    RECT client{};
    GetClientRect(form, &client);
    std::vector<std::string> lines{key + " 0 0 0 " + std::to_string(client.right) + " " +
                                   std::to_string(client.bottom) + " 0"};
    for (HWND control : VisibleControls(form)) {
        const RECT r = PlaceInParent(control);
        auto* label = dynamic_cast<ui::Label*>(ui::Window::FromHandle(control));
        const bool fitsText = label && label->autoSize;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        std::ostringstream line;
        line << key << " " << GetDlgCtrlID(control) << " " << r.left << " " << r.top << " "
             << (fitsText ? -1 : r.right - r.left) << " " << (fitsText ? -1 : r.bottom - r.top) << " "
             << std::abs(font.lfHeight);
        lines.push_back(line.str());
    }
    return lines;
}

// With KELVAD_LAYOUT_RECORD the measures are appended to that file; with KELVAD_LAYOUT_BASE (a file recorded at
// 96 DPI) every number must be the recorded one x DPI / 96, within two pixels of rounding.
inline void RecordOrCompare(HWND form) {
    static std::map<std::string, int> seen;
    const std::string name = Name(form);
    const std::string key =
        std::to_string(GetDlgCtrlID(form)) + "|" + name.substr(name.find(' ') + 1) + "|" + std::to_string(seen[name]++);
    if (const char* record = std::getenv("KELVAD_LAYOUT_RECORD")) {
        std::ofstream out(record, std::ios::app);
        for (const std::string& line : Measure(form, key))
            out << line << "\n";
    }
    const char* base = std::getenv("KELVAD_LAYOUT_BASE");
    if (!base)
        return;
    std::map<std::string, std::vector<long>> expected;
    std::ifstream in(base);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string k, id;
        std::vector<long> numbers(5);
        fields >> k >> id >> numbers[0] >> numbers[1] >> numbers[2] >> numbers[3] >> numbers[4];
        expected[k + " " + id] = numbers;
    }
    auto* owner = dynamic_cast<ui::Form*>(ui::Window::FromHandle(form));
    ASSERT_NE(owner, nullptr);
    const double scale = owner->Dpi() / 96.0;
    EXPECT_NE(owner->Dpi(), 96) << "a comparison with the 96-DPI layout wants another DPI";
    for (const std::string& line : Measure(form, key)) {
        std::istringstream fields(line);
        std::string k, id;
        std::vector<long> numbers(5);
        fields >> k >> id >> numbers[0] >> numbers[1] >> numbers[2] >> numbers[3] >> numbers[4];
        const auto found = expected.find(k + " " + id);
        if (found == expected.end()) {
            ADD_FAILURE() << line << ": not in the 96-DPI layout";
            continue;
        }
        for (std::size_t i = 0; i < numbers.size(); ++i)
            if (numbers[i] >= 0)
                EXPECT_LE(std::abs(numbers[i] - std::lround(found->second[i] * scale)), 2) << line << " field " << i;
    }
}

inline void ExpectLayout(HWND form, const std::vector<HWND>& tabOrder) {
    SCOPED_TRACE("layout of " + Name(form));
    RecordOrCompare(form);
    RECT client{};
    GetClientRect(form, &client);
    const std::vector<HWND> controls = VisibleControls(form);
    ASSERT_FALSE(controls.empty());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const RECT a = PlaceInParent(controls[i]);
        EXPECT_TRUE(Holds(client, a)) << Name(controls[i]) << " leaves the client area";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT b = PlaceInParent(controls[j]);
            RECT common{};
            if (IntersectRect(&common, &a, &b) && !Holds(a, b) && !Holds(b, a))
                ADD_FAILURE() << Name(controls[i]) << " overlaps " << Name(controls[j]);
        }
    }
    if (tabOrder.empty())
        return;
    std::vector<HWND> walked{tabOrder.front()};
    for (HWND at = GetNextDlgTabItem(form, tabOrder.front(), FALSE); walked.size() <= tabOrder.size();
         at = GetNextDlgTabItem(form, at, FALSE))
        walked.push_back(at);
    std::vector<HWND> expected = tabOrder;
    expected.push_back(tabOrder.front());
    EXPECT_EQ(walked, expected) << "the tab order";
}

} // namespace layout_test
