#include <gtest/gtest.h>

#include "app/help.h"

namespace kelvad {
namespace {

TEST(FileUrl, DriveAndNetworkPathsBecomeAsciiAddresses) {
    EXPECT_EQ(FileUrl("C:\\Program Files\\Kelvad\\Kelvad32.html"), "file:///C:/Program%20Files/Kelvad/Kelvad32.html");
    EXPECT_EQ(FileUrl("\\\\server\\share\\Kelvad32.html"), "file://server/share/Kelvad32.html");
    // A Japanese folder name in UTF-8 (ツール), and characters that would end the path in an address.
    EXPECT_EQ(FileUrl("C:\\\xE3\x83\x84\xE3\x83\xBC\xE3\x83\xAB\\a#b%c?d+e.html"),
              "file:///C:/%E3%83%84%E3%83%BC%E3%83%AB/a%23b%25c%3Fd%2Be.html");
}

TEST(BrowserCommandLine, TheAddressTakesThePlaceOfTheFileInTheShellsCommand) {
    const std::string address = "file:///C:/K/Kelvad32.html#topic5000";
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"\"C:\\B\\browser.exe\" --single-argument %1",
         "\"C:\\B\\browser.exe\" --single-argument file:///C:/K/Kelvad32.html#topic5000"},
        {"\"C:\\B\\fx.exe\" -osint -url \"%1\"",
         "\"C:\\B\\fx.exe\" -osint -url \"file:///C:/K/Kelvad32.html#topic5000\""},
        {"C:\\B\\b.exe %L %*", "C:\\B\\b.exe file:///C:/K/Kelvad32.html#topic5000 "},
        {"C:\\B\\b.exe -p 100%% %l", "C:\\B\\b.exe -p 100% file:///C:/K/Kelvad32.html#topic5000"},
        // No place for the file: the address is appended.
        {"C:\\B\\b.exe -new", "C:\\B\\b.exe -new \"file:///C:/K/Kelvad32.html#topic5000\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrowserCommandLine(c.command, address), c.expected) << c.command;
}

TEST(ChooseHelpAction, ViewerWhereTheHelpFileExistsOtherwiseThePageAtTheTopic) {
    const std::wstring program = L"C:\\ﾂｰﾙ\\Kelvad32.EXE";
    EXPECT_EQ(HelpFilePath(program), L"C:\\ﾂｰﾙ\\Kelvad32.HLP");
    EXPECT_EQ(HelpPagePath(program), L"C:\\ﾂｰﾙ\\Kelvad32.html");

    const HelpAction viewer = ChooseHelpAction(program, true, "b.exe %1", 5001);
    EXPECT_EQ(viewer.kind, HelpAction::Viewer);
    EXPECT_EQ(viewer.helpFile, L"C:\\ﾂｰﾙ\\Kelvad32.HLP");

    // The address is UTF-8 percent-encoded: ﾂ is EF BE 82.
    for (unsigned context : {1000u, 5000u, 5001u}) {
        const HelpAction page = ChooseHelpAction(program, false, "b.exe %1", context);
        EXPECT_EQ(page.kind, HelpAction::Browser);
        EXPECT_EQ(page.commandLine,
                  L"b.exe file:///C:/%EF%BE%82%EF%BD%B0%EF%BE%99/Kelvad32.html#topic" + std::to_wstring(context));
    }

    const HelpAction shell = ChooseHelpAction(program, false, "", 1000);
    EXPECT_EQ(shell.kind, HelpAction::ShellOpen);
    EXPECT_EQ(shell.page, L"C:\\ﾂｰﾙ\\Kelvad32.html");
}

} // namespace
} // namespace kelvad
