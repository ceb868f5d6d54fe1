#pragma once
#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "lists/file_list.h"
#include "ui/list_box.h"

namespace kelvad {

// The open-file dialog of the file list: several existing files at once, no read-only box, a help button
// when it has a help context, and the chosen names returned through a buffer of kOpenDialogBufferSize
// characters. A choice that does not fit ends it like a cancel.
class OpenFileDialog {
public:
    std::string title;
    std::string filter; // "shown as|patterns|..."
    std::string defaultExt;
    // The entry chosen when the dialog last closed with a choice, counted from 1.
    int filterIndex = 1;
    // The name the dialog opens with; after a choice, the first chosen name.
    std::wstring fileName;
    unsigned helpContext = 0;

    void SetFilter(const OpenDialogFilter& kind) {
        filter = kind.filter;
        defaultExt = kind.defaultExt;
    }

    // Shows the dialog modally; true when the user chose files (then in Files(), full paths in the dialog's
    // order).
    bool Execute(HWND owner);
    const std::vector<std::wstring>& Files() const noexcept { return files_; }

    // The system call that shows the dialog; a test may look at the structure and answer in its place.
    std::function<BOOL(OPENFILENAMEW&)> showDialog = [](OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn); };

private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

    std::vector<std::wstring> files_;
};

// The names of a shell drop in the order given, each whole; the drop handle is released.
std::vector<std::wstring> TakeDroppedFiles(HDROP drop);

// Appends names to list, after emptying it unless append is set.
void PutFileNames(ui::ListBox& list, bool append, const std::vector<std::wstring>& names);

// Command-line names as they enter the file list (UTF-16, as the system gave them): each made a full path against
// the current folder, and a name whose last part is a pattern replaced by the files it matches (ExpandWildcardName).
std::vector<std::wstring> CommandLineFileNames(const std::vector<std::wstring>& names);

} // namespace kelvad
