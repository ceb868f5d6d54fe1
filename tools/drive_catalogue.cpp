// Drives the command-string catalogue of a running Kelvad32.exe, for the end-to-end tests: clicks, keys and
// typed characters are posted to its windows as a user's would arrive.
//
//   drive_catalogue.exe STEP...
//     mode              click the mode switch button
//     ins               click Ins(&I) and wait for the editor
//     type DESC CMD     type the two texts into the editor's fields
//     ok                press Enter in the editor and wait until it has gone
//     insert DESC CMD   ins, type, ok
//     click LIST ROW    click a row of LIST (desc, cmd or printer), given by its number from 0 or its text
//     print             click the output button and wait until its handler has returned
//     state             print "print=E change=E quit=E edit=E delete=E insert=E selected=D/C" (E: 0 or 1)
//     close             close the main window
//
// Exit status 0 when every step was done, 1 (with a message) when a window did not come or go in time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeout = 20000;
constexpr int kItemHeight = 22;

struct Failure {
    std::string what;
};

template <class Done> void WaitFor(const std::string& what, Done done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kTimeout)
            throw Failure{what};
        Sleep(20);
    }
}

// A window's text; sent as a message, since GetWindowText does not ask a window of another process.
std::string Text(HWND hwnd) {
    static char text[70000];
    text[0] = '\0';
    SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The child whose text is `text`.
HWND ChildByText(HWND parent, const std::string& text) {
    for (HWND child : Children(parent))
        if (Text(child) == text)
            return child;
    throw Failure{"no control " + text};
}

// The children of a class from top to bottom, then left to right.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<std::pair<POINT, HWND>> found;
    for (HWND child : Children(parent)) {
        if (lstrcmpiA(ClassOf(child).c_str(), className) != 0)
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
    WaitFor("the main window", [&] { return (main = FindWindowA("UiForm", "Kelvad32")) && IsWindowVisible(main); });
    return main;
}

HWND Editor() {
    return FindWindowA("UiForm", "コマンド文字列の追加、編集");
}

// Types the text key by key. A double-byte character cannot be typed so under Wine: an ANSI message loop
// hands it on as two bytes, which Wine's edit field reads in the keyboard's code page, not the program's. A text
// with bytes above 0x7F is therefore put in whole, as a paste would.
void Type(HWND edit, const std::string& text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (char c : text)
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    } else {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    try {
        WaitFor("", [&] { return Text(edit) == text; });
    } catch (const Failure&) {
        throw Failure{"typed " + text + ", the field holds " + Text(edit)};
    }
}

void PostKey(HWND hwnd, WPARAM key) {
    PostMessageA(hwnd, WM_KEYDOWN, key, 1);
    PostMessageA(hwnd, WM_KEYUP, key, 0xC0000001);
}

// Lists in the main window: the descriptions above the command strings on the left, the printers right.
HWND List(HWND main, const std::string& name) {
    std::vector<HWND> lists = ChildrenOfClass(main, "ListBox");
    std::vector<HWND> visible;
    std::copy_if(lists.begin(), lists.end(), std::back_inserter(visible), IsWindowVisible);
    // Visible in command-string mode: descriptions (top left), printers (top right), command strings.
    if (visible.size() != 3)
        throw Failure{"the catalogue is not shown"};
    return name == "desc" ? visible[0] : name == "printer" ? visible[1] : visible[2];
}

// The row given by its number, or the first row whose text it is.
int Row(HWND list, const std::string& row) {
    if (!row.empty() && std::all_of(row.begin(), row.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::stoi(row);
    auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    std::string rows;
    for (int i = 0; i < count; ++i) {
        // Asked in UTF-16: Wine hands an item's text to another process unconverted.
        std::wstring wide(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        char text[1024] = {};
        WideCharToMultiByte(932, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        if (text == row)
            return i;
        rows += " [" + std::string(text) + "]";
    }
    throw Failure{"no row " + row + " among" + rows};
}

void ClickRow(HWND list, int row) {
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    LPARAM at = MAKELPARAM(8, (row - top) * kItemHeight + kItemHeight / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    // Sent messages are answered only once the posted click has been handled.
    SendMessageA(list, WM_NULL, 0, 0);
}

void OpenEditor(HWND main) {
    PostMessageA(ChildByText(main, "Ins(&I)"), BM_CLICK, 0, 0);
    WaitFor("the editor", [] { return Editor() && IsWindowVisible(Editor()); });
}

std::vector<HWND> EditorFields() {
    std::vector<HWND> edits = Editor() ? ChildrenOfClass(Editor(), "Edit") : std::vector<HWND>{};
    if (edits.size() != 2)
        throw Failure{"the editor's fields"};
    return edits;
}

void PressEnterInEditor() {
    PostKey(EditorFields()[1], VK_RETURN);
    WaitFor("the editor to close", [] { return !Editor() || !IsWindowVisible(Editor()); });
}

int Run(int argc, char** argv) {
    HWND main = MainWindow();
    for (int i = 1; i < argc; ++i) {
        std::string step = argv[i];
        auto argument = [&]() -> std::string {
            if (i + 1 >= argc)
                throw Failure{"missing argument of " + step};
            return argv[++i];
        };
        auto type = [&] {
            std::vector<HWND> fields = EditorFields();
            Type(fields[0], argument());
            Type(fields[1], argument());
        };
        if (step == "mode") {
            SendMessageA(ChildByText(main, "切換(&C)"), BM_CLICK, 0, 0);
        } else if (step == "ins") {
            OpenEditor(main);
        } else if (step == "type") {
            type();
        } else if (step == "ok") {
            PressEnterInEditor();
        } else if (step == "insert") {
            OpenEditor(main);
            type();
            PressEnterInEditor();
        } else if (step == "click") {
            HWND list = List(main, argument());
            ClickRow(list, Row(list, argument()));
        } else if (step == "print") {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(ChildByText(main, "出力(&P)"), BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result))
                throw Failure{"the output button did not return"};
        } else if (step == "state") {
            auto enabled = [&](const char* text) { return IsWindowEnabled(ChildByText(main, text)) ? 1 : 0; };
            HWND desc = List(main, "desc"), cmd = List(main, "cmd");
            std::printf("print=%d change=%d quit=%d edit=%d delete=%d insert=%d selected=%d/%d\n", enabled("出力(&P)"),
                        enabled("切換(&C)"), enabled("終了(&X)"), enabled("Edit(&E)"), enabled("Del(&D)"),
                        enabled("Ins(&I)"), static_cast<int>(SendMessageA(desc, LB_GETCURSEL, 0, 0)),
                        static_cast<int>(SendMessageA(cmd, LB_GETCURSEL, 0, 0)));
            std::fflush(stdout);
        } else if (step == "close") {
            PostMessageA(main, WM_CLOSE, 0, 0);
        } else {
            throw Failure{"unknown step " + step};
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "drive_catalogue: %s\n", failure.what.c_str());
        return 1;
    }
}
