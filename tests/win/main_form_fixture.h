#pragma once
// A main window for tests of the file list and the mode switch: message boxes and errors are recorded
// instead of shown, and spool jobs go to a recorder instead of a printer.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "output/spooler.h"
#include "ui/application.h"
#include "ui/handle.h"

namespace form_test {

class TestForm : public kelvad::TMain_Form {
public:
    using TMain_Form::TMain_Form;
    std::vector<std::string> boxes; // as Shift-JIS
    void ShowWideMessageBox(const std::wstring& text, const std::wstring&, unsigned) override {
        boxes.push_back(kelvad::ToShiftJis(text).bytes);
    }
};

class RecordingSpooler : public kelvad::Spooler {
public:
    std::vector<std::string> docs; // as Shift-JIS
    std::function<void()> afterWrite;
    bool Open(const std::wstring&) override { return true; }
    unsigned long StartJob(const std::wstring& docName, const std::wstring&) override {
        docs.push_back(kelvad::ToShiftJis(docName).bytes);
        return 7;
    }
    std::string bytes;
    bool Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        if (afterWrite)
            afterWrite();
        return true;
    }
    bool EndDoc() override { return true; }
    void Cancel(unsigned long) override {}
    void Close() override {}
};

class MainFormFixture : public ::testing::Test {
protected:
    void TearDown() override {
        ui::App().ProcessMessages();
        EXPECT_TRUE(errors.empty()) << errors.front();
        ui::App().onException = nullptr;
        ui::App().onIdle = nullptr;
        ui::App().onHelp = nullptr;
    }
    std::unique_ptr<TestForm> MakeForm(const std::string& commandLine = "Kelvad32.exe") {
        auto form = std::make_unique<TestForm>(kelvad::ToWide(commandLine));
        form->Create();
        ui::App().onException = [this](const std::exception& e) { errors.push_back(e.what()); };
        form->UseSpooler(spooler);
        form->Show();
        ui::App().ProcessMessages();
        return form;
    }
    RecordingSpooler spooler;
    std::vector<std::string> errors;
};

// A drop handle as the shell makes it: DROPFILES followed by the names, each NUL-terminated, and a closing
// NUL; wide as the shell of the NT family sends them, or narrow.
inline HDROP MakeDrop(const std::vector<std::string>& names, bool wide = false) {
    std::string payload;
    for (const std::string& name : names) {
        if (wide) {
            int n = MultiByteToWideChar(932, 0, name.c_str(), -1, nullptr, 0);
            std::wstring w(static_cast<size_t>(n), L'\0');
            MultiByteToWideChar(932, 0, name.c_str(), -1, w.data(), n);
            payload.append(reinterpret_cast<const char*>(w.c_str()), w.size() * sizeof(wchar_t));
        } else {
            payload.append(name.c_str(), name.size() + 1);
        }
    }
    payload.append(wide ? sizeof(wchar_t) : 1, '\0');
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + payload.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = wide;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), payload.data(), payload.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The items as Shift-JIS, for comparing with the names the tests wrote.
inline std::vector<std::string> Items(const kelvad::TSclListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(kelvad::ToShiftJis(list.WideItem(i)).bytes);
    return items;
}

inline std::vector<std::wstring> WideItems(const kelvad::TSclListBox& list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.WideItem(i));
    return items;
}

} // namespace form_test
