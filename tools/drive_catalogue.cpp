// Drives the command-string catalogue of a running Kelvad32.exe, for the end-to-end tests: clicks, keys and
// typed characters are posted to its windows as a user's would arrive.
//
//   drive_catalogue.exe STEP...
//     mode              click the mode switch button
//     ins               click Ins(&I) and wait for the editor
//     type DESC CMD     type the two texts into the editor's fields
//     ok                press Enter in the editor and wait until it has gone
//     enter             press Enter in the editor
//     cancel            press Escape in the editor and wait until it has gone
//     insert DESC CMD   ins, type, ok
//     box               wait for a message box captioned Kelvad, print its text, press its OK
//     fields            print per editor field: its text, its selection FROM-TO, and "focus" on the focused one
//     texts WINDOW      print the texts of WINDOW (main or editor) and of its visible controls (see tool_text.h)
//     click LIST ROW    click a row of LIST (desc, cmd or printer), given by its number from 0 or its text
//     print             click the output button and wait until its handler has returned
//     state             print "print=E change=E quit=E edit=E delete=E insert=E selected=D/C" (E: 0 or 1)
//     place             print the main window's outer rectangle, then the work area of its nearest monitor, in
//                       pixels: "LEFT TOP RIGHT BOTTOM LEFT TOP RIGHT BOTTOM"
//     close             close the main window
//
// Texts are given and printed in UTF-8 and compared in UTF-16, whatever the system's code page. Exit status 0
// when every step was done, 1 (with a message) when a window did not come or go in time.
#include "tool_text.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr DWORD kTimeout = 60000;

struct Failure {
    std::wstring what;
};

template <class Done> void WaitFor(const std::wstring& what, Done done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kTimeout)
            throw Failure{what};
        Sleep(20);
    }
}

using tool::WindowText;

// The child whose text is `text`.
HWND ChildByText(HWND parent, const std::wstring& text) {
    for (HWND child : tool::Children(parent))
        if (WindowText(child) == text)
            return child;
    throw Failure{L"no control " + text};
}

// The children of a class from top to bottom, then left to right.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<std::pair<POINT, HWND>> found;
    for (HWND child : tool::Children(parent)) {
        if (lstrcmpiW(tool::ClassOf(child).c_str(), className) != 0)
            continue;
        RECT r{};
        GetWindowRect(child, &r);
        found.push_back({{r.left, r.top}, child});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
    });
    std::vector<HWND> result;
    for (const auto& entry : found)
        result.push_back(entry.second);
    return result;
}

HWND MainWindow() {
    HWND main = nullptr;
    WaitFor(L"the main window", [&] { return (main = FindWindowW(L"UiForm", L"Kelvad32")) && IsWindowVisible(main); });
    return main;
}

HWND Editor() {
    return FindWindowW(L"UiForm", L"コマンド文字列の追加、編集");
}

// Types the text character by character (a surrogate pair as its two halves), as the keyboard delivers
// characters to a Unicode window.
void Type(HWND edit, const std::wstring& text) {
    for (wchar_t c : text)
        PostMessageW(edit, WM_CHAR, c, 1);
    try {
        WaitFor(L"", [&] { return WindowText(edit) == text; });
    } catch (const Failure&) {
        throw Failure{L"typed " + text + L", the field holds " + WindowText(edit)};
    }
}

void PostKey(HWND hwnd, WPARAM key) {
    PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

// Lists in the main window: the descriptions above the command strings on the left, the printers right.
HWND List(HWND main, const std::wstring& name) {
    std::vector<HWND> lists = ChildrenOfClass(main, L"ListBox");
    std::vector<HWND> visible;
    std::copy_if(lists.begin(), lists.end(), std::back_inserter(visible), IsWindowVisible);
    // Visible in command-string mode: descriptions (top left), printers (top right), command strings.
    if (visible.size() != 3)
        throw Failure{L"the catalogue is not shown"};
    return name == L"desc" ? visible[0] : name == L"printer" ? visible[1] : visible[2];
}

// The row given by its number, or the first row whose text it is.
int Row(HWND list, const std::wstring& row) {
    if (!row.empty() && std::all_of(row.begin(), row.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return std::stoi(row);
    auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::wstring rows;
    for (int i = 0; i < count; ++i) {
        const std::wstring text = tool::ListItem(list, i);
        if (text == row)
            return i;
        rows += L" [" + text + L"]";
    }
    throw Failure{L"no row " + row + L" among" + rows};
}

// The click is sent, not posted: the list box selects the row, and the program's handler of the change has run,
// before the next step looks at the windows or presses a button.
void ClickRow(HWND list, int row) {
    SendMessageW(list, LB_SETTOPINDEX, row, 0);
    RECT item{};
    if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        throw Failure{L"no row " + std::to_wstring(row)};
    const LPARAM at = MAKELPARAM(item.left + 8, (item.top + item.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// Posted keys and clicks have been handled, and whatever handler they started has returned or waits in a window.
void Settle(HWND main) {
    if (!tool::Settle(main, kTimeout))
        throw Failure{L"the program did not take its messages"};
}

void OpenEditor(HWND main) {
    PostMessageW(ChildByText(main, L"Ins(&I)"), BM_CLICK, 0, 0);
    WaitFor(L"the editor", [] { return Editor() && IsWindowVisible(Editor()); });
}

std::vector<HWND> EditorFields() {
    std::vector<HWND> edits = Editor() ? ChildrenOfClass(Editor(), L"Edit") : std::vector<HWND>{};
    if (edits.size() != 2)
        throw Failure{L"the editor's fields"};
    return edits;
}

void WaitForEditorToClose() {
    WaitFor(L"the editor to close", [] { return !Editor() || !IsWindowVisible(Editor()); });
}

// The program's message box, whose caption is its name.
HWND MessageBoxOfProgram() {
    HWND box = nullptr;
    WaitFor(L"a message box", [&] { return (box = FindWindowW(L"#32770", L"Kelvad")) && IsWindowVisible(box); });
    return box;
}

int Run(const std::vector<std::wstring>& steps) {
    HWND main = MainWindow();
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::wstring& step = steps[i];
        auto argument = [&]() -> std::wstring {
            if (i + 1 >= steps.size())
                throw Failure{L"missing argument of " + step};
            return steps[++i];
        };
        auto type = [&] {
            std::vector<HWND> fields = EditorFields();
            Type(fields[0], argument());
            Type(fields[1], argument());
        };
        if (step == L"mode") {
            SendMessageW(ChildByText(main, L"切換(&C)"), BM_CLICK, 0, 0);
        } else if (step == L"ins") {
            OpenEditor(main);
        } else if (step == L"type") {
            type();
        } else if (step == L"ok") {
            PostKey(EditorFields()[1], VK_RETURN);
            WaitForEditorToClose();
            Settle(main);
        } else if (step == L"enter") {
            PostKey(EditorFields()[1], VK_RETURN);
            Settle(main);
        } else if (step == L"cancel") {
            PostKey(EditorFields()[1], VK_ESCAPE);
            WaitForEditorToClose();
            Settle(main);
        } else if (step == L"insert") {
            OpenEditor(main);
            type();
            PostKey(EditorFields()[1], VK_RETURN);
            WaitForEditorToClose();
            Settle(main);
        } else if (step == L"box") {
            HWND box = MessageBoxOfProgram();
            tool::PrintLine(tool::MessageBoxText(box));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitFor(L"the message box to close", [box] { return !IsWindow(box) || !IsWindowVisible(box); });
            Settle(main);
        } else if (step == L"fields") {
            // After a box the system gives the editor back its activation, and the editor its focus, as the window
            // system's events arrive. Under a display without a window manager a late focus event can leave no
            // window active; the editor is then activated again, as a user would click it, and gives the focus back
            // to the control that had it. The fields are read once the focus stays in one of them throughout.
            const std::vector<HWND> fields = EditorFields();
            auto activeFocus = [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                if (!GetGUIThreadInfo(GetWindowThreadProcessId(fields[0], nullptr), &info))
                    return HWND{};
                if (info.hwndActive != Editor() && !FindWindowW(L"#32770", L"Kelvad"))
                    SetForegroundWindow(Editor());
                return info.hwndFocus == fields[0] || info.hwndFocus == fields[1] ? info.hwndFocus : HWND{};
            };
            std::vector<std::wstring> lines;
            WaitFor(L"the focus in the editor's fields", [&] {
                const HWND before = activeFocus();
                if (!before)
                    return false;
                lines.clear();
                for (HWND field : fields) {
                    // The selection comes back packed in the result: pointers do not cross to another process.
                    const auto selection = static_cast<DWORD>(SendMessageW(field, EM_GETSEL, 0, 0));
                    lines.push_back(WindowText(field) + L" " + std::to_wstring(LOWORD(selection)) + L"-" +
                                    std::to_wstring(HIWORD(selection)) + (field == before ? L" focus" : L""));
                }
                return activeFocus() == before;
            });
            for (const std::wstring& line : lines)
                tool::PrintLine(line);
        } else if (step == L"texts") {
            const std::wstring window = argument();
            tool::PrintTexts(window == L"editor" ? Editor() : main);
        } else if (step == L"click") {
            HWND list = List(main, argument());
            ClickRow(list, Row(list, argument()));
        } else if (step == L"print") {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(ChildByText(main, L"出力(&P)"), BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result))
                throw Failure{L"the output button did not return"};
        } else if (step == L"state") {
            auto enabled = [&](const wchar_t* text) { return IsWindowEnabled(ChildByText(main, text)) ? 1 : 0; };
            HWND desc = List(main, L"desc"), cmd = List(main, L"cmd");
            std::printf("print=%d change=%d quit=%d edit=%d delete=%d insert=%d selected=%d/%d\n", enabled(L"出力(&P)"),
                        enabled(L"切換(&C)"), enabled(L"終了(&X)"), enabled(L"Edit(&E)"), enabled(L"Del(&D)"),
                        enabled(L"Ins(&I)"), static_cast<int>(SendMessageW(desc, LB_GETCURSEL, 0, 0)),
                        static_cast<int>(SendMessageW(cmd, LB_GETCURSEL, 0, 0)));
            std::fflush(stdout);
        } else if (step == L"place") {
            // In the pixels of the screen, not those a program unaware of the DPI would be shown.
            SetProcessDPIAware();
            RECT outer{};
            GetWindowRect(main, &outer);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT& work = monitor.rcWork;
            std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom,
                        work.left, work.top, work.right, work.bottom);
            std::fflush(stdout);
        } else if (step == L"close") {
            PostMessageW(main, WM_CLOSE, 0, 0);
        } else {
            throw Failure{L"unknown step " + step};
        }
    }
    return 0;
}

} // namespace

int main() {
    try {
        return Run(tool::Arguments());
    } catch (const Failure& failure) {
        tool::PrintError(L"drive_catalogue: " + failure.what);
        return 1;
    }
}
