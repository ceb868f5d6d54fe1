// The settings file under Wine, through the real profile calls: what a start reads, what the end of a run
// writes, and that values come back exactly.
#include "main_form_fixture.h"
#include "test_files.h"

#include "lists/file_list.h"
#include "settings/profile_file_win.h"
#include "settings/settings_file.h"

namespace form_test {
namespace {

using kelvad::CommandEntry;
using kelvad::testing::ReadWholeFile;

void WriteFileAt(const std::string& path, const std::string& content) {
    ui::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

// A list of NUL-separated names as the profile calls return them (sections, or the keys of a section).
std::vector<std::string> Names(const char* section, const std::string& path) {
    std::vector<char> buffer(65536);
    DWORD length = section ? GetPrivateProfileStringA(section, nullptr, "", buffer.data(), 65536, path.c_str())
                           : GetPrivateProfileSectionNamesA(buffer.data(), 65536, path.c_str());
    std::vector<std::string> names;
    for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += std::strlen(p) + 1)
        names.emplace_back(p);
    return names;
}

class SettingsFileTest : public MainFormFixture {
protected:
    void SetUp() override {
        kelvad::testing::RemoveSettingsFile();
    }
    void TearDown() override {
        MainFormFixture::TearDown();
        kelvad::testing::RemoveSettingsFile();
    }
    // Ends the run as the program does: the main window is destroyed, which saves the settings.
    void Quit(std::unique_ptr<TestForm>& form) {
        ui::App().SetMainForm(form.get());
        ASSERT_TRUE(form->Close());
        form.reset();
    }
    std::string Value(const char* section, const char* key) {
        const std::optional<kelvad::ProfileFile> file = kelvad::ReadProfileFile(kelvad::ToWide(path));
        return file ? file->Text().Value(section, key).value_or("(missing)") : "(unreadable)";
    }
    const std::string path = kelvad::testing::SettingsFile();
};

TEST_F(SettingsFileTest, HostRuleAndPlatformReaderAgreeOnEveryValue) {
    const std::vector<std::pair<std::string, std::int32_t>> table = {
        {"80", 80},         {"-5", -5},     {"0x1E", 30},      {"$1E", 30},
        {"$1e", 30},        {"abc", 7},     {"", 7},           {"  12", 12},
        {"12 x", 7},        {"+3", 3},      {"2147483648", 7}, {"0xFFFFFFFF", -1},
        {"0x100000000", 7}, {"\"42\"", 42}, {"'0x10'", 16}};
    auto key = [](std::size_t i) { return std::string("k").append(std::to_string(i)); };
    std::string file = "[T]\r\n";
    for (std::size_t i = 0; i < table.size(); ++i)
        file.append(key(i)).append("=").append(table[i].first).append("\r\n");
    WriteFileAt(path, file);
    std::optional<kelvad::ProfileFile> stored = kelvad::ReadProfileFile(kelvad::ToWide(path));
    ASSERT_TRUE(stored);
    kelvad::IniFile ini(stored->Text());
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(ini.ReadInteger("T", key(i), 7), table[i].second) << table[i].first;
    EXPECT_TRUE(ini.ReadBool("t", "K0", false)) << "names are matched without regard to case";
}

TEST_F(SettingsFileTest, NoFileStartsWithDefaultsAndTheEndWritesACompleteFile) {
    auto form = MakeForm();
    EXPECT_TRUE(form->FileMode);
    EXPECT_FALSE(form->IsMinimized());
    RECT outer = form->OuterRect();
    EXPECT_EQ(outer.left, 16);
    EXPECT_EQ(outer.top, 68);
    const kelvad::OutputOptions& o = form->OutputOptions;
    EXPECT_EQ(std::tie(o.TopMargin, o.BottomMargin, o.LeftMargin, o.RightMargin), std::make_tuple(20, 20, 20, 20));
    EXPECT_EQ(std::tie(o.IsPrnFile, o.IsStretch, o.IsReverse, o.IsMarginZero, o.IsDeleteFile),
              std::make_tuple(true, true, false, false, false));
    EXPECT_EQ(form->CommandExplanation.Count(), 0);
    EXPECT_TRUE(form->co_Insert.IsEnabled());
    Quit(form);

    EXPECT_EQ(Names(nullptr, path), (std::vector<std::string>{"Config", "Option"}));
    EXPECT_EQ(Names("Config", path), (std::vector<std::string>{"CommandFlag", "PlaceShowCmd", "PlaceMinPos.X",
                                                               "PlaceMinPos.Y", "PlaceMaxPos.X", "PlaceMaxPos.Y",
                                                               "PlaceNormalPos.Left", "PlaceNormalPos.Top"}));
    EXPECT_EQ(Names("Option", path),
              (std::vector<std::string>{"TopMargin", "BottomMargin", "LeftMargin", "RightMargin", "IsPrnFile",
                                        "IsStretch", "IsReverse", "IsMarginZero", "IsDeleteFile"}));
    EXPECT_EQ(Value("Config", "CommandFlag") + Value("Config", "PlaceShowCmd"), "11");
    EXPECT_EQ(Value("Config", "PlaceNormalPos.Left") + "," + Value("Config", "PlaceNormalPos.Top"), "16,68");
    EXPECT_EQ(Value("Option", "TopMargin") + Value("Option", "IsPrnFile") + Value("Option", "IsReverse"), "2010");
}

TEST_F(SettingsFileTest, StoredValuesAreReadByTheirRulesAndTheCatalogueIsWrittenBackWithoutGaps) {
    WriteFileAt(path, "[Config]\r\nCommandFlag=0\r\n"
                      "[Command1]\r\n説明=初期化\r\nコマンド=\x1b@\r\n"
                      "[Command3]\r\n説明=改ページ\r\nコマンド=\"\x0c\"\r\n"
                      "[Command4]\r\n説明=説明だけ\r\n"
                      "[Command21]\r\n説明=範囲外\r\nコマンド=x\r\n"
                      "[Option]\r\nTopMargin=80\r\nBottomMargin=-5\r\nLeftMargin=0x1E\r\nRightMargin=$1E\r\n"
                      "IsPrnFile=0\r\nIsStretch=2\r\nIsReverse=true\r\nIsMarginZero=1\r\n");
    auto form = MakeForm();
    EXPECT_FALSE(form->FileMode);
    EXPECT_EQ(form->CommandEntries(), (std::vector<CommandEntry>{{"初期化", "\x1b@"}, {"改ページ", "\x0c"}}));
    EXPECT_EQ(form->CommandExplanation.ItemIndex(), -1);
    const kelvad::OutputOptions& o = form->OutputOptions;
    EXPECT_EQ(std::tie(o.TopMargin, o.BottomMargin, o.LeftMargin, o.RightMargin), std::make_tuple(50, -5, 30, 30));
    EXPECT_EQ(std::tie(o.IsPrnFile, o.IsStretch, o.IsReverse, o.IsMarginZero, o.IsDeleteFile),
              std::make_tuple(false, true, false, true, false));
    EXPECT_EQ(form->FileOpenDialog.filter, kelvad::FilterForFileKind(false).filter)
        << "the filter follows the file kind";
    Quit(form);

    EXPECT_EQ(Names(nullptr, path),
              (std::vector<std::string>{"Config", "Command1", "Command21", "Option", "Command2"}));
    EXPECT_EQ(Value("Command2", "説明"), "改ページ");
    EXPECT_EQ(Value("Command21", "説明"), "範囲外");
    EXPECT_EQ(Value("Config", "CommandFlag"), "0");
    EXPECT_EQ(Value("Option", "TopMargin") + "," + Value("Option", "BottomMargin"), "50,-5");
    // The keys of the command sections are Shift-JIS in the file.
    EXPECT_NE(ReadWholeFile(path).find("\x90\xE0\x96\xBE=\x89\xFC"), std::string::npos);
}

TEST_F(SettingsFileTest, LongCommandStringsAndOnesWithBlanksOrQuotesComeBackExactly) {
    std::string longCommand;
    while (longCommand.size() < 2000)
        longCommand += "\x1b(s表示ABC ";
    const std::vector<CommandEntry> entries = {
        {"長い", longCommand}, {" 前後に空白 ", "  \"quoted\"  "}, {"'単引用符'", "\"二重引用符\""}, {"\"", "'"}};
    auto form = MakeForm();
    form->LoadCommandEntries(entries);
    Quit(form);
    form = MakeForm();
    EXPECT_EQ(form->CommandEntries(), entries);
}

TEST_F(SettingsFileTest, AWindowClosedMinimizedStartsMinimizedExceptWithAPrintSwitch) {
    auto form = MakeForm();
    form->SetPosition(100, 120);
    form->SetMinimized();
    ui::App().ProcessMessages();
    ASSERT_TRUE(form->IsMinimized());
    Quit(form);
    EXPECT_EQ(Value("Config", "PlaceShowCmd"), "2");
    EXPECT_EQ(Value("Config", "PlaceNormalPos.Left") + "," + Value("Config", "PlaceNormalPos.Top"), "100,120");

    auto withSwitch = MakeForm("Kelvad32.exe -p");
    EXPECT_FALSE(withSwitch->IsMinimized());
    ui::App().onIdle = nullptr;
    withSwitch.reset();

    form = MakeForm();
    EXPECT_TRUE(form->IsMinimized());
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(form->Handle(), &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.top, 120);
    // The first showing only: restored, the window stays normal.
    form->SetNormal();
    form->Hide();
    form->Show();
    EXPECT_FALSE(form->IsMinimized());
}

TEST_F(SettingsFileTest, AFileArgumentStartsInFileModeAndThatModeIsStored) {
    WriteFileAt(path, "[Config]\r\nCommandFlag=0\r\n");
    auto form = MakeForm("Kelvad32.exe a.prn");
    EXPECT_TRUE(form->FileMode);
    Quit(form);
    EXPECT_EQ(Value("Config", "CommandFlag"), "1");
}

TEST_F(SettingsFileTest, ARefusedWriteIsReportedAndStopsTheSave) {
    const std::string stored = "[Config]\r\nCommandFlag=0\r\n[Option]\r\nTopMargin=33\r\n";
    WriteFileAt(path, stored);
    auto form = MakeForm();
    form->OutputOptions.TopMargin = 5;
    form->ChangeCommandStatus();
    {
        // Another program holds the file open and lets nobody write it (a read-only attribute would not stop
        // a run as root under Wine).
        ui::FileHandle lock(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        Quit(form);
    }
    EXPECT_EQ(errors, std::vector<std::string>{path + " に書き込めません"});
    errors.clear();
    EXPECT_EQ(ReadWholeFile(path), stored);
}

} // namespace
} // namespace form_test
