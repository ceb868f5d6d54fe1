#pragma once
#include <string>

#include "base/codepage.h"

namespace kelvad {

// What an output step needs of the progress window while one file goes out.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void ShowFile(const std::wstring& path) = 0; // file-name label := path
    virtual void SetPercent(int percent) = 0;            // the bar clamps to 0..100
    virtual void Repaint() = 0;                          // paint the window now
    virtual void ProcessMessages() = 0;                  // dispatch pending window messages
    virtual bool Aborted() const = 0;
    virtual void ShowAborting() = 0; // hide the file name, state label "印刷中止処理中", repaint
};

// The main window's modal message box (text, caption, MessageBox style flags). Texts that show a file or printer
// name are put together in UTF-16, so that the name shows whole whatever code page 932 can hold.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) = 0;
    // The program's own texts, Shift-JIS.
    void ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
        ShowWideMessageBox(ToWide(text), ToWide(caption), flags);
    }
};

} // namespace kelvad
