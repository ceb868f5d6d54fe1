#include "lists/file_list_win.h"

#include <shellapi.h>

#include "base/codepage.h"
#include "ui/application.h"
#include "ui/handle.h"

namespace kelvad {

namespace {

// Wine's dialog copies a chosen list that does not fit past nMaxFile and still reports success: the buffer has this
// much room beyond what the dialog is told, and a list that reaches into it is refused as one that does not fit.
constexpr std::size_t kOverrunRoom = 65536;

} // namespace

bool OpenFileDialog::Execute(HWND owner) {
    const std::wstring systemFilter = ToWide(SystemFilterString(filter));
    const std::wstring wideTitle = ToWide(title);
    const std::wstring wideDefaultExt = ToWide(defaultExt);
    // Zero-filled, so that a single chosen path is followed by the closing empty string.
    std::vector<wchar_t> buffer(kOpenDialogBufferSize + kOverrunRoom, L'\0');
    fileName.copy(buffer.data(), kOpenDialogBufferSize - 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = ui::App().Instance();
    ofn.lpstrFilter = filter.empty() ? nullptr : systemFilter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(OpeningFilterIndex(filterIndex, FilterEntryCount(filter)));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(kOpenDialogBufferSize);
    ofn.lpstrTitle = title.empty() ? nullptr : wideTitle.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : wideDefaultExt.c_str();
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
    std::vector<std::wstring> chosen;
    if (!ParseChosenFiles(buffer.data(), kOpenDialogBufferSize, chosen))
        return false;
    files_ = std::move(chosen);
    fileName = files_.front();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

UINT_PTR CALLBACK OpenFileDialog::Hook(HWND, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_NOTIFY)
        return 0;
    auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
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

std::vector<std::wstring> TakeDroppedFiles(HDROP drop) {
    std::vector<std::wstring> names;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Each name whole: a name cut short could name another file.
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(std::move(name));
    }
    DragFinish(drop);
    return names;
}

void PutFileNames(ui::ListBox& list, bool append, const std::vector<std::wstring>& names) {
    if (!append)
        list.Clear();
    for (const std::wstring& name : names)
        list.AddItem(name);
}

namespace {

std::wstring FullPath(const std::wstring& name) {
    DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size())
        return name;
    full.resize(size);
    return full;
}

// The entries a pattern finds.
std::vector<FolderEntry> SearchFolder(const std::wstring& pattern) {
    std::vector<FolderEntry> found;
    WIN32_FIND_DATAW data{};
    const ui::FindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (!search)
        return found;
    do {
        const DWORD attributes = data.dwFileAttributes;
        found.push_back({data.cFileName, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (attributes & FILE_ATTRIBUTE_HIDDEN) != 0, (attributes & FILE_ATTRIBUTE_SYSTEM) != 0});
    } while (FindNextFileW(search.get(), &data));
    return found;
}

} // namespace

std::vector<std::wstring> CommandLineFileNames(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> result;
    for (const std::wstring& name : names) {
        const std::wstring full = FullPath(name);
        // The name is the user's own, never narrowed: every '?' or '*' in it was typed.
        if (!IsWildcardName(full)) {
            result.push_back(full);
            continue;
        }
        for (std::wstring& match : ExpandWildcardName(full, SearchFolder(full)))
            result.push_back(std::move(match));
    }
    return result;
}

} // namespace kelvad
