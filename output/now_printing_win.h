#pragma once
#include <windows.h>

#include <string>

#include "output/progress_sink.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/gauge.h"
#include "ui/label.h"

namespace kelvad {

// The window style of the progress window for a platform version (as GetVersion returns it): a borderless
// pop-up with a sizing frame on major version 4, for its raised edge, and a thin border elsewhere.
DWORD NowPrintingStyle(DWORD platformVersion);

// The progress window of a print run: the file being output, a bar with the percentage done and an abort
// button that only raises the abort flag, which the output steps poll. It cannot be resized, has no caption
// bar and stays on top.
class TNowPrinting : public ui::Form, public ProgressSink {
public:
    // Creates the window, hidden and centred on its owner; the style follows platformVersion.
    explicit TNowPrinting(HWND owner, DWORD platformVersion = GetVersion());

    ui::Button co_Abort;
    ui::Gauge Gauge1;
    ui::Label Label1;
    ui::Label l_FileName;

    void co_AbortClick();
    // The next ProcessMessages dispatches at once (a new file, or after a message box).
    void RestartMessageClock() { dispatched_ = false; }

    // What the output steps do with the window.
    void ShowFile(const std::wstring& path) override;
    void SetPercent(int percent) override;
    void Repaint() override;
    void ProcessMessages() override;
    bool Aborted() const override { return aborted_; }
    void ShowAborting() override;

protected:
    void CreateControls() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate();

    // Set by the abort button; stays set until the window is released.
    bool aborted_ = false;
    // Something shown has changed since the window was last painted.
    bool changed_ = true;
    // When pending messages were last dispatched (GetTickCount), and whether they ever were.
    DWORD lastDispatch_ = 0;
    bool dispatched_ = false;
};

} // namespace kelvad
