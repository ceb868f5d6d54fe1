#include <gtest/gtest.h>

#include <functional>

#include "base/codepage.h"
#include "output/printer.h"

namespace kelvad {
namespace {

// A platform given as values; it records whose default settings were fetched (in Shift-JIS).
struct FakePlatform : PrinterPlatform {
    bool nt = true;
    std::vector<std::wstring> names;
    std::vector<PrinterPorts> ports;
    std::wstring deviceEntry;
    std::vector<std::string> settingsFetched;
    bool failEnumeration = false;

    bool IsNtFamily() override { return nt; }
    std::vector<std::wstring> EnumeratePrinterNames() override {
        if (failEnumeration)
            throw PrinterError("enumeration broke");
        return names;
    }
    std::vector<PrinterPorts> EnumeratePrinterPorts() override { return ports; }
    std::wstring DefaultDeviceEntry() override { return deviceEntry; }
    DeviceSettings DefaultDocumentSettings(const std::wstring& device) override {
        settingsFetched.push_back(ToShiftJis(device).bytes);
        return DeviceSettings(settingsFetched.back().begin(), settingsFetched.back().end());
    }
};

// The printer object over a fake platform that the test keeps a hand on.
struct Targets : PrinterTargets {
    FakePlatform& platform;
    int changes = 0;
    explicit Targets(FakePlatform* p = new FakePlatform)
        : PrinterTargets(std::unique_ptr<PrinterPlatform>(p)), platform(*p) {}
    Targets(const std::vector<std::string>& names, const std::string& entry) : Targets() {
        for (const std::string& name : names)
            platform.names.push_back(ToWide(name));
        platform.deviceEntry = ToWide(entry);
    }
    using PrinterTargets::SetPrinting;
    void TargetChanged() override { ++changes; }
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const PrinterError& e) {
        return e.what();
    }
    return "no error";
}

TEST(PrinterRows, OneRowPerPrinterOnNtAndOnePerPortOtherwise) {
    EXPECT_EQ(RowsFromPrinterNames({L"Kelvad Printer", L"テストプリンタ"}),
              (std::vector<PrinterRow>{{L"Kelvad Printer", {L"", L"Kelvad Printer", L""}},
                                       {L"テストプリンタ", {L"", L"テストプリンタ", L""}}}));
    // Ports in order, blanks before each skipped, up to the first empty field; no port, no row.
    EXPECT_EQ(RowsFromPrinterPorts({{L"Laser", L"LPT1:, FILE:"}, {L"Idle", L""}, {L"Dot", L"COM1:,  , LPT2:"}}),
              (std::vector<PrinterRow>{{L"Laser. LPT1:", {L"", L"Laser", L"LPT1:"}},
                                       {L"Laser. FILE:", {L"", L"Laser", L"FILE:"}},
                                       {L"Dot. COM1:", {L"", L"Dot", L"COM1:"}}}));
    EXPECT_EQ(SplitPorts(L"LPT1:,"), std::vector<std::wstring>{L"LPT1:"});
    EXPECT_EQ(SplitPorts(L",LPT1:"), std::vector<std::wstring>{});
}

TEST(DefaultPrinterName, TakesTheTextBeforeTheFirstCommaWithoutLeadingBlanks) {
    EXPECT_EQ(DefaultPrinterName(L"Kelvad Printer,winspool,LPT1:"), L"Kelvad Printer");
    EXPECT_EQ(DefaultPrinterName(L"  テストプリンタ ,winspool"), L"テストプリンタ ");
    EXPECT_EQ(DefaultPrinterName(L"Solo"), L"Solo");
    EXPECT_EQ(DefaultPrinterName(L"   "), L"");
}

TEST(PrinterTargets, ListIsBuiltOnceAndNotLeftHalfBuiltByAnError) {
    Targets t({"A"}, "A");
    t.platform.failEnumeration = true;
    EXPECT_EQ(ErrorOf([&] { t.Printers(); }), "enumeration broke");
    t.platform.failEnumeration = false;
    EXPECT_EQ(t.PrinterTexts(), std::vector<std::wstring>{L"A"});
    t.platform.names.push_back(L"Added later");
    EXPECT_EQ(t.Printers().size(), 1u);
}

TEST(PrinterTargets, DefaultOfThe95FamilyIsItsFirstPortRow) {
    Targets t;
    t.platform.nt = false;
    t.platform.ports = {{L"Other", L"LPT2:"}, {L"Laser", L"LPT1:, FILE:"}};
    t.platform.deviceEntry = L" Laser,HPPCL,LPT1:";
    EXPECT_EQ(t.PrinterIndex(), 1);
    EXPECT_EQ(t.CurrentText(), L"Laser. LPT1:");
    EXPECT_EQ(t.CurrentDevice(), (TPrinterDevice{L"", L"Laser", L"LPT1:"}));
    // Found once: the index is kept and the settings are not fetched again.
    EXPECT_EQ(t.PrinterIndex(), 1);
    EXPECT_EQ(t.platform.settingsFetched, std::vector<std::string>{"Laser"});
}

TEST(PrinterTargets, DefaultMustMatchANameExactly) {
    for (const char* entry : {"kelvad printer,winspool,", "", "Kelvad Printe,winspool,"}) {
        Targets t({"Kelvad Printer", "Other"}, entry);
        EXPECT_EQ(ErrorOf([&] { t.PrinterIndex(); }), kNoDefaultPrinterError) << entry;
    }
    Targets none({}, "Kelvad Printer,winspool,");
    EXPECT_EQ(ErrorOf([&] { none.CurrentText(); }), kNoDefaultPrinterError);
    // A name that Shift-JIS cannot hold is matched whole, never through its '?' stand-in.
    const std::wstring korean = L"Kelvad 한국";
    Targets wide;
    wide.platform.names = {L"Kelvad ??", L"Kelvad 한글", korean};
    wide.platform.deviceEntry = korean + L",winspool,";
    EXPECT_EQ(wide.PrinterIndex(), 2);
    EXPECT_EQ(wide.SettingsDevice(), korean);
}

TEST(PrinterTargets, SelectionByIndexChangesOnlyTheIndex) {
    Targets t({"A", "B", "C"}, "B,winspool,");
    EXPECT_EQ(t.PrinterIndex(), 1);
    t.SetPrinterIndex(2);
    EXPECT_EQ(t.CurrentDevice().deviceName, L"C");
    EXPECT_EQ(t.SettingsDevice(), L"B");
    for (int bad : {3, -2})
        EXPECT_EQ(ErrorOf([&] { t.SetPrinterIndex(bad); }), kPrinterIndexError) << bad;
    EXPECT_EQ(t.PrinterIndex(), 2);

    // -1 looks the default up afresh.
    t.platform.deviceEntry = L"A,winspool,";
    t.SetPrinterIndex(-1);
    EXPECT_EQ(t.platform.settingsFetched, (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(t.CurrentText(), L"A");
}

TEST(PrinterTargets, SelectionByNamesMatchesDeviceAndPortOrAppends) {
    Targets t;
    t.platform.nt = false;
    t.platform.ports = {{L"Laser", L"LPT1:,FILE:"}};
    t.SetPrinterNames({L"HPPCL", L"Laser", L"FILE:"});
    EXPECT_EQ(t.PrinterIndex(), 1);
    EXPECT_EQ(t.platform.settingsFetched, std::vector<std::string>{"Laser"});

    const DeviceSettings own{1, 2, 3};
    t.SetPrinterNames({L"HPPCL", L"Laser", L"COM2:"}, &own);
    EXPECT_EQ(t.PrinterIndex(), 2);
    EXPECT_EQ(t.Printers().back(), (PrinterRow{L"Laser. COM2:", {L"HPPCL", L"Laser", L"COM2:"}}));
    EXPECT_EQ(t.Settings(), own);
    EXPECT_EQ(t.platform.settingsFetched.size(), 1u);
}

TEST(PrinterTargets, ChangesAreRefusedWhilePrinting) {
    Targets t({"A", "B"}, "A");
    EXPECT_EQ(t.PrinterIndex(), 0);
    const int changes = t.changes;
    t.SetPrinting(true);
    EXPECT_EQ(ErrorOf([&] { t.SetPrinterIndex(1); }), kPrintingError);
    EXPECT_EQ(ErrorOf([&] { t.SetPrinterIndex(-1); }), kPrintingError);
    EXPECT_EQ(ErrorOf([&] { t.SetPrinterNames({L"", L"B", L""}); }), kPrintingError);
    EXPECT_EQ(t.PrinterIndex(), 0);
    EXPECT_EQ(t.changes, changes);
    t.SetPrinting(false);
    t.SetPrinterIndex(1);
    EXPECT_EQ(t.changes, changes + 1);
}

TEST(PrinterMargins, FromTheSheetTheOffsetAndThePrintableArea) {
    // The test printers: 300 dpi, A4.
    EXPECT_EQ(MarginsFromMetrics({300, 300, 2329, 3358, 2479, 3508, 75, 75}), (PrinterMargins{6, 6, 6, 6}));
    // 600 x 300 dpi: left 120 units = 5.08 mm, top 30 = 2.54, right 600 - 120 - 300 = 180 = 7.62,
    // bottom 300 - 30 - 150 = 120 = 10.16.
    EXPECT_EQ(MarginsFromMetrics({600, 300, 300, 150, 600, 300, 120, 30}),
              (PrinterMargins{.Left = 5, .Top = 3, .Right = 8, .Bottom = 10}));
}

TEST(PrinterMargins, QuotientFirstInExtendedPrecisionThenHalvesToEven) {
    EXPECT_EQ(UnitsToMillimetres(25, 254), 2);
    EXPECT_EQ(UnitsToMillimetres(15, 254), 2);
    EXPECT_EQ(UnitsToMillimetres(180, 72), 64);
    EXPECT_EQ(UnitsToMillimetres(-25, 254), -2);
    // 115 / 254 * 25.4 is exactly 11.5 in extended precision (double gives 11.4999...).
    EXPECT_EQ(UnitsToMillimetres(115, 254), 12);
    // 95 / 254 * 25.4 comes out just below 9.5 (multiplying first would give exactly 9.5, then 10).
    EXPECT_EQ(UnitsToMillimetres(95, 254), 9);
    EXPECT_EQ(UnitsToMillimetres(265, 254), 27);
    EXPECT_EQ(UnitsToMillimetres(75, 0), 0);
}

} // namespace
} // namespace kelvad
