#include "lists/file_list_win.h"

#include <shellapi.h>

#include "ui/application.h"

namespace kelvad {

bool OpenFileDialog::Execute(HWND owner) {
    std::string systemFilter = SystemFilterString(filter);
    // Zero-filled, so that a single chosen path is followed by the closing empty string.
    std::vector<char> buffer(kOpenDialogBufferSize, '\0');
    fileName.copy(buffer.data(), buffer.size() - 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = ui::App().Instance();
    ofn.lpstrFilter = filter.empty() ? nullptr : systemFilter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(OpeningFilterIndex(filterIndex, FilterEntryCount(filter)));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (helpContext != 0) {
        // The help button reaches the hook as CDN_HELP.
        ofn.Flags |= OFN_SHOWHELP | OFN_ENABLEHOOK;
        ofn.lpfnHook = Hook;
        ofn.lCustData = reinterpret_cast<LPARAM>(this);
    }

    files_.clear();
    if (!showDialog(ofn))
        return false;
    std::vector<std::string> chosen;
    if (!ParseChosenFiles(buffer.data(), buffer.size(), chosen))
        return false;
    files_ = std::move(chosen);
    fileName = files_.front();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

UINT_PTR CALLBACK OpenFileDialog::Hook(HWND, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_NOTIFY)
        return 0;
    auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (notify->hdr.code != CDN_HELP || !notify->lpOFN)
        return 0;
    auto* self = reinterpret_cast<OpenFileDialog*>(notify->lpOFN->lCustData);
    try {
        ui::App().ShowHelp(self->helpContext);
    } catch (const std::exception& error) {
        ui::App().HandleException(error);
    }
    return 0;
}

std::vector<std::string> TakeDroppedFiles(HDROP drop) {
    std::vector<std::string> names;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[kDroppedNameBufferSize] = {};
        DragQueryFileA(drop, i, name, sizeof name);
        names.emplace_back(name);
    }
    DragFinish(drop);
    return names;
}

void PutFileNames(ui::ListBox& list, bool append, const std::vector<std::string>& names) {
    if (!append)
        list.Clear();
    for (const std::string& name : names)
        list.AddItem(name);
}

} // namespace kelvad
