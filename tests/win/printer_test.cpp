// The printer object on the real test printers under Wine, and the main window's output target list.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "output/printer_win.h"
#include "ui/application.h"
#include "tests/win/test_files.h"
#include "ui/handle.h"

namespace kelvad {
namespace {

using namespace kelvad::testing;

const char* const kTestPrinters[] = {"Kelvad Printer", "テストプリンタ", "Kelvad Refuse", "Kelvad Bench"};
const std::wstring kHangulPrinter = L"Kelvad \uD55C\uAE00";

int IndexOf(const std::vector<std::wstring>& texts, const std::string& text) {
    auto found = std::find(texts.begin(), texts.end(), ToWide(text));
    return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

// Puts the default printer back for the tests that follow, however a test ends.
struct DefaultAfterwards {
    ~DefaultAfterwards() { Printer().SetPrinterIndex(-1); }
};

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(GetEnvironmentVariableA("KELVAD_OUT", nullptr, 0), 0u); }
    void TearDown() override { ui::App().onMessage = nullptr; }
};

TEST_F(PrinterTest, ATargetThatCannotBeMadeIsReportedAsNotValid) {
    TPrinter printer;
    printer.SetPrinterNames({L"", L"No Such Printer", L"LPT9:"});
    EXPECT_EQ(printer.CurrentText(), L"No Such Printer. LPT9:");
    EXPECT_TRUE(printer.Settings().empty());
    EXPECT_EQ(ErrorOf([&] { printer.Handle(); }), kInvalidPrinterError);
    EXPECT_EQ(ErrorOf([&] { printer.BeginDoc(); }), kInvalidPrinterError);
    EXPECT_FALSE(printer.Printing());
}

TEST_F(PrinterTest, DocumentOfTwoPagesReachesThePrinterAndProcessesMessagesMeanwhile) {
    const std::string landed = PrinterOutputFile("jp-printer.bin");
    DeleteFileA(landed.c_str());
    TPrinter printer;
    printer.SetPrinterIndex(IndexOf(printer.PrinterTexts(), "テストプリンタ"));
    HDC info = printer.Handle();
    printer.Title = L"Kelvad Graphic File";

    // A message waiting in the queue is dispatched by the abort procedure when GDI asks it (Wine does as the
    // document starts).
    int seen = 0;
    ui::App().onMessage = [&](MSG& msg, bool& handled) {
        if (msg.message == WM_APP + 7) {
            ++seen;
            handled = true;
        }
    };
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 7, 0, 0);
    printer.BeginDoc();
    ASSERT_TRUE(printer.Printing());
    EXPECT_EQ(seen, 1);
    EXPECT_NE(printer.Handle(), info) << "the document has its own device context";
    EXPECT_EQ(ErrorOf([&] { printer.SetPrinterIndex(0); }), kPrintingError);
    EXPECT_EQ(ErrorOf([&] { printer.SetPrinterNames({L"", L"Kelvad Printer", L""}); }), kPrintingError);
    EXPECT_EQ(ErrorOf([&] { printer.BeginDoc(); }), kPrintingError);
    Rectangle(printer.Handle(), 100, 100, 1000, 1000);
    printer.NewPage();
    Rectangle(printer.Handle(), 200, 200, 800, 800);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    const std::string output = ReadWholeFile(landed);
    EXPECT_EQ(output.rfind("%!PS", 0), 0u) << output.substr(0, 40);
    EXPECT_NE(output.find("%%Title: Kelvad Graphic File"), std::string::npos);
    EXPECT_NE(output.find("%%Page: 2 2"), std::string::npos);
    EXPECT_EQ(output.find("%%Page: 3"), std::string::npos);
    // After the document the information context serves again, and changes are taken.
    printer.SetPrinterIndex(0);
    EXPECT_NE(printer.Handle(), nullptr);
}

struct Box {
    std::string text, caption;
};

// The main window with its message boxes recorded instead of shown.
class TestForm : public TMain_Form {
public:
    using TMain_Form::TMain_Form;
    std::vector<Box> boxes;
    void ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned) override {
        boxes.push_back({ToShiftJis(text).bytes, ToShiftJis(caption).bytes});
    }
};

// A click with the mouse on a row of a list box.
void ClickRow(ui::ListBox& list, int index) {
    RECT item{};
    SendMessageW(list.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
    ui::App().ProcessMessages();
}

TEST_F(PrinterTest, MainWindowListsTheTargetsNamesTheDefaultAndReadsItsMargins) {
    TestForm form(L"Kelvad32.exe");
    form.Create();
    std::vector<std::wstring> rows;
    for (int i = 0; i < form.PrinterListBox.Count(); ++i)
        rows.push_back(form.PrinterListBox.WideItem(i));
    EXPECT_EQ(rows, Printer().PrinterTexts());
    for (const char* name : kTestPrinters)
        EXPECT_NE(IndexOf(rows, name), -1) << name;
    // A name that Shift-JIS cannot hold is listed whole.
    EXPECT_NE(std::find(rows.begin(), rows.end(), kHangulPrinter), rows.end());
    EXPECT_EQ(form.PrinterListBox.ItemIndex(), -1) << "no row is highlighted at start";
    EXPECT_EQ(form.LPrinter.WideCaption(), L"Kelvad Printer");
    RECT label = form.LPrinter.Bounds();
    EXPECT_GT(label.right - label.left, 46) << "the label grows with the name";
    // The NT family: the printer's name alone, no port; the driver's settings for the default came along.
    EXPECT_EQ(Printer().CurrentDevice(), (TPrinterDevice{L"", L"Kelvad Printer", L""}));
    ASSERT_GE(Printer().Settings().size(), sizeof(DEVMODEW));
    const auto* mode = reinterpret_cast<const DEVMODEW*>(Printer().Settings().data());
    EXPECT_STREQ(mode->dmDeviceName, L"Kelvad Printer");
    // 300 dpi, A4 2479 x 3508 with 75 units unprintable on each side.
    EXPECT_EQ(form.MinMargins(), (kelvad::PrinterMargins{6, 6, 6, 6}));
    POINT page{};
    GetPhysicalPageSize(page);
    EXPECT_EQ(page.x, 2479);
    EXPECT_EQ(page.y, 3508);
    EXPECT_TRUE(form.boxes.empty());
}

TEST_F(PrinterTest, ClickedPrinterTakesTheNextJobAndNoSelectionMeansTheDefault) {
    DefaultAfterwards restore;
    TestForm form(L"Kelvad32.exe");
    form.Create();
    form.Show();
    ui::App().ProcessMessages();
    const int jp = IndexOf(Printer().PrinterTexts(), "テストプリンタ");
    ASSERT_NE(jp, -1);

    form.MinimumMargins = {};
    ClickRow(form.PrinterListBox, jp);
    EXPECT_EQ(form.PrinterListBox.ItemIndex(), jp);
    EXPECT_EQ(form.LPrinter.WideCaption(), L"テストプリンタ");
    EXPECT_EQ(Printer().PrinterIndex(), jp);
    EXPECT_EQ(form.MinMargins(), (kelvad::PrinterMargins{6, 6, 6, 6})) << "the margins are read again";

    std::string content = "\x1b@Kelvad \x82\xa0\x0c";
    content += std::string(10000, '\x1a');
    const std::string path = WriteTempFile("target.prn", content);
    const std::string jpOut = PrinterOutputFile("jp-printer.bin");
    const std::string defaultOut = PrinterOutputFile("kelvad-printer.bin");
    DeleteFileA(jpOut.c_str());
    const std::size_t defaultBefore = ReadWholeFile(defaultOut).size();
    form.FilesListBox.AddItem(path);
    form.co_PrintClick();
    EXPECT_TRUE(form.boxes.empty());
    EXPECT_TRUE(ReadWholeFile(jpOut) == content) << "the job went elsewhere";
    EXPECT_EQ(ReadWholeFile(defaultOut).size(), defaultBefore);

    // A click that leaves no row selected: the default printer becomes current and the label names it.
    form.PrinterListBox.SetItemIndex(-1);
    form.PrinterListBoxClick();
    EXPECT_EQ(form.LPrinter.WideCaption(), L"Kelvad Printer");
    EXPECT_EQ(Printer().CurrentText(), L"Kelvad Printer");
    DeleteFileA(jpOut.c_str());
    form.co_PrintClick();
    EXPECT_TRUE(form.boxes.empty());
    EXPECT_EQ(ReadWholeFile(defaultOut).size(), defaultBefore + content.size());
    EXPECT_EQ(GetFileAttributesA(jpOut.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());
}

} // namespace
} // namespace kelvad
