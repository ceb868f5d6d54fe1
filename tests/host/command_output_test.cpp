#include <gtest/gtest.h>

#include "output/command_output.h"
#include "output_fakes.h"

namespace kelvad {
namespace {

using namespace kelvad::testing;
using Strings = std::vector<std::string>;

TEST(CommandOutputTest, OneJobWithExactlyTheStringsBytes) {
    const std::string longCommand = std::string(1000, '\x1b') + "end";
    // 248 ASCII bytes after "Kelvad ": a double-byte character at bytes 255 and 256 must not be split.
    // Escape, backslash and caret sequences as typed, a double-byte character, NUL and 0xFF.
    const std::string mixed("\x1b@\\x1b^[\x82\xa0\x00\xff", 12);
    const std::string nearLimit = std::string(247, 'a') + "\x82\xa0" + "b";
    struct Case {
        std::string command;
        std::string port;
        std::string docName;
    };
    const Case cases[] = {
        {"ABC", "", "Kelvad ABC"},
        {mixed, "LPT1:", "Kelvad " + mixed},
        {longCommand, "", ("Kelvad " + longCommand).substr(0, 255)},
        {nearLimit, "", "Kelvad " + std::string(247, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.docName.substr(0, 20));
        CallLog log;
        FakeSpooler spooler(log);
        FakeMessages messages;
        EXPECT_TRUE(SendCommandString(c.command, {L"P", ToWide(c.port)}, spooler, messages));
        EXPECT_EQ(log,
                  (Strings{"open P", "start", "write " + std::to_string(c.command.size()), "end", "close printer"}));
        EXPECT_EQ(spooler.bytes, c.command);
        EXPECT_EQ(spooler.docName, c.docName);
        EXPECT_LE(spooler.docName.size(), 255u);
        EXPECT_EQ(spooler.portName, c.port);
        EXPECT_TRUE(messages.boxes.empty());
    }
}

TEST(CommandOutputTest, RefusalShowsTheStopBoxAndReleasesThePrinter) {
    struct Case {
        const char* what;
        bool open, start, write, end;
        Strings calls;
    };
    const Case cases[] = {
        {"open", false, true, true, true, {"open プリンタ"}},
        {"start", true, false, true, true, {"open プリンタ", "start", "close printer"}},
        {"write", true, true, false, true, {"open プリンタ", "start", "write 3", "end", "cancel 7", "close printer"}},
        {"end", true, true, true, false, {"open プリンタ", "start", "write 3", "end", "close printer"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CallLog log;
        FakeSpooler spooler(log);
        spooler.openOk = c.open;
        spooler.jobId = c.start ? 7 : 0;
        spooler.refuseWrite = c.write ? 0 : 1;
        spooler.endOk = c.end;
        FakeMessages messages;
        EXPECT_FALSE(SendCommandString("ABC", {L"プリンタ", L""}, spooler, messages));
        EXPECT_EQ(log, c.calls);
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].text, "プリンタ に出力できません");
        EXPECT_EQ(messages.boxes[0].caption, "Kelvad");
        EXPECT_EQ(messages.boxes[0].flags, 16u);
    }
}

} // namespace
} // namespace kelvad
