#pragma once
#include <string>

namespace kelvad {

// What an output step needs of the progress window while one file goes out.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void ShowFile(const std::string& path) = 0; // file-name label := path
    virtual void SetPercent(int percent) = 0;           // the bar clamps to 0..100
    virtual void Repaint() = 0;                         // paint the window now
    virtual void ProcessMessages() = 0;                 // dispatch pending window messages
    virtual bool Aborted() const = 0;
    virtual void ShowAborting() = 0; // hide the file name, state label "印刷中止処理中", repaint
};

// The main window's modal message box (text, caption, MessageBoxA style flags).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

} // namespace kelvad
