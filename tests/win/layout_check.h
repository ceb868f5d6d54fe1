#pragma once
// The invariants every window of the program keeps: each visible control lies inside the client area, no two
// visible controls overlap (a frame that wholly holds another is no overlap), and Tab walks the controls in
// the designed order and comes back to the first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace layout_test {

inline RECT PlaceInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
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

inline void ExpectLayout(HWND form, const std::vector<HWND>& tabOrder) {
    SCOPED_TRACE("layout of " + Name(form));
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
