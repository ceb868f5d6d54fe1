#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/form.h"

namespace ui_test {

// Resets the application's hooks around each test; an exception that reaches the error hook unexpectedly
// fails the test instead of showing a box that nobody closes.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset();
        ui::App().onException = [this](const std::exception& e) { errors.push_back(e.what()); };
    }
    void TearDown() override {
        ui::App().ProcessMessages();
        EXPECT_EQ(errors.size(), expectedErrors) << (errors.empty() ? "" : errors.front());
        Reset();
    }
    static void Reset() {
        ui::Application& app = ui::App();
        app.onException = nullptr;
        app.onMessage = nullptr;
        app.onIdle = nullptr;
        app.onHelp = nullptr;
        app.SetMainForm(nullptr);
    }

    std::vector<std::string> errors;
    size_t expectedErrors = 0;
};

// A plain form of the given client size, created hidden.
inline void CreateForm(ui::Form& form, int width = 300, int height = 200, HWND owner = nullptr) {
    form.Create(
        {.clientWidth = width, .clientHeight = height, .left = 50, .top = 50, .caption = "テスト", .owner = owner});
}

inline std::wstring Text(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

} // namespace ui_test
