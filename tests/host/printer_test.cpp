#include <gtest/gtest.h>

#include "output/printer.h"

namespace kelvad {
namespace {

// A platform given as values, which records the printers whose default settings were fetched.
struct FakePlatform : PrinterPlatform {
    bool nt = true;
    std::vector<std::string> names;
    std::vector<PrinterPorts> ports;
    std::string deviceEntry;
    std::vector<std::string> settingsFetched;
    int enumerations = 0;
    bool failEnumeration = false;

    bool IsNtFamily() override { return nt; }
    std::vector<std::string> EnumeratePrinterNames() override {
        ++enumerations;
        if (failEnumeration)
            throw PrinterError("enumeration broke");
        return names;
    }
    std::vector<PrinterPorts> EnumeratePrinterPorts() override {
        ++enumerations;
        return ports;
    }
    std::string DefaultDeviceEntry() override { return deviceEntry; }
    DeviceSettings DefaultDocumentSettings(const std::string& device) override {
        settingsFetched.push_back(device);
        return DeviceSettings(device.begin(), device.end());
    }
};

// The printer object over a fake platform that the test keeps a hand on.
struct Targets {
    FakePlatform* platform;
    PrinterTargets targets;
    explicit Targets(std::unique_ptr<FakePlatform> p) : platform(p.get()), targets(std::move(p)) {}
};

std::unique_ptr<FakePlatform> NtPlatform(std::vector<std::string> names, std::string entry) {
    auto p = std::make_unique<FakePlatform>();
    p->names = std::move(names);
    p->deviceEntry = std::move(entry);
    return p;
}

std::string Text(const DeviceSettings& s) {
    return std::string(s.begin(), s.end());
}

class PrintingTargets : public PrinterTargets {
public:
    using PrinterTargets::PrinterTargets;
    using PrinterTargets::SetPrinting;
    int changes = 0;

protected:
    void TargetChanged() override { ++changes; }
};

TEST(PrinterRows, NtFamilyGivesOneRowPerPrinterWithNoPort) {
    EXPECT_EQ(RowsFromPrinterNames({"Kelvad Printer", "テストプリンタ"}),
              (std::vector<PrinterRow>{{"Kelvad Printer", {"", "Kelvad Printer", ""}},
                                       {"テストプリンタ", {"", "テストプリンタ", ""}}}));
}

TEST(PrinterRows, Windows95FamilyGivesOneRowPerPortUpToTheFirstEmptyField) {
    EXPECT_EQ(RowsFromPrinterPorts({{"Laser", "LPT1:, FILE:"}, {"Idle", ""}, {"Dot", "COM1:,, LPT2:"}}),
              (std::vector<PrinterRow>{{"Laser. LPT1:", {"", "Laser", "LPT1:"}},
                                       {"Laser. FILE:", {"", "Laser", "FILE:"}},
                                       {"Dot. COM1:", {"", "Dot", "COM1:"}}}));
    EXPECT_EQ(SplitPorts("  LPT1: ,FILE:"), (std::vector<std::string>{"LPT1: ", "FILE:"}));
    EXPECT_EQ(SplitPorts("LPT1:,  ,FILE:"), std::vector<std::string>{"LPT1:"});
    EXPECT_EQ(SplitPorts("LPT1:,"), std::vector<std::string>{"LPT1:"});
    EXPECT_EQ(SplitPorts(",LPT1:"), std::vector<std::string>{});
    EXPECT_EQ(SplitPorts("   "), std::vector<std::string>{});
}

TEST(DefaultPrinterName, TakesTheTextBeforeTheFirstCommaWithoutLeadingBlanks) {
    EXPECT_EQ(DefaultPrinterName("Kelvad Printer,winspool,LPT1:"), "Kelvad Printer");
    EXPECT_EQ(DefaultPrinterName("  テストプリンタ ,winspool"), "テストプリンタ ");
    EXPECT_EQ(DefaultPrinterName("Solo"), "Solo");
    EXPECT_EQ(DefaultPrinterName(",winspool,LPT1:"), "");
    EXPECT_EQ(DefaultPrinterName("   "), "");
}

TEST(PrinterTargets, ListIsBuiltOnceFromThePlatformFamily) {
    auto p = std::make_unique<FakePlatform>();
    p->nt = false;
    p->ports = {{"Laser", "LPT1:,FILE:"}};
    p->names = {"not asked on this family"};
    Targets t(std::move(p));
    EXPECT_EQ(t.targets.PrinterTexts(), (std::vector<std::string>{"Laser. LPT1:", "Laser. FILE:"}));
    t.platform->ports.push_back({"Later", "LPT2:"});
    EXPECT_EQ(t.targets.Printers().size(), 2u);
    EXPECT_EQ(t.platform->enumerations, 1);
}

TEST(PrinterTargets, AnErrorWhileBuildingLeavesNoListAndPassesOn) {
    auto p = NtPlatform({"A"}, "A,winspool,");
    p->failEnumeration = true;
    Targets t(std::move(p));
    EXPECT_THROW(t.targets.Printers(), PrinterError);
    t.platform->failEnumeration = false;
    EXPECT_EQ(t.targets.PrinterTexts(), std::vector<std::string>{"A"});
}

TEST(PrinterTargets, DefaultOfThe95FamilyIsItsFirstPortRow) {
    auto p = std::make_unique<FakePlatform>();
    p->nt = false;
    p->ports = {{"Other", "LPT2:"}, {"Laser", "LPT1:, FILE:"}};
    p->deviceEntry = " Laser,HPPCL,LPT1:";
    Targets t(std::move(p));
    EXPECT_EQ(t.targets.PrinterIndex(), 1);
    EXPECT_EQ(t.targets.CurrentText(), "Laser. LPT1:");
    EXPECT_EQ(t.targets.CurrentDevice(), (TPrinterDevice{"", "Laser", "LPT1:"}));
    EXPECT_EQ(t.platform->settingsFetched, std::vector<std::string>{"Laser"});
    EXPECT_EQ(Text(t.targets.Settings()), "Laser");
    // Once found, the index is kept: no second lookup.
    EXPECT_EQ(t.targets.PrinterIndex(), 1);
    EXPECT_EQ(t.platform->settingsFetched.size(), 1u);
}

TEST(PrinterTargets, DefaultMustMatchANameExactly) {
    for (const char* entry : {"kelvad printer,winspool,", "", "Kelvad Printe,winspool,"}) {
        Targets t(NtPlatform({"Kelvad Printer", "Other"}, entry));
        try {
            t.targets.PrinterIndex();
            ADD_FAILURE() << "no error for " << entry;
        } catch (const PrinterError& e) {
            EXPECT_STREQ(e.what(), kNoDefaultPrinterError);
        }
    }
    Targets none(NtPlatform({}, "Kelvad Printer,winspool,"));
    EXPECT_THROW(none.targets.CurrentText(), PrinterError);
}

TEST(PrinterTargets, SelectionByIndex) {
    Targets t(NtPlatform({"A", "B", "C"}, "B,winspool,"));
    EXPECT_EQ(t.targets.PrinterIndex(), 1);
    t.targets.SetPrinterIndex(2);
    EXPECT_EQ(t.targets.PrinterIndex(), 2);
    EXPECT_EQ(t.targets.CurrentDevice().deviceName, "C");
    // Only the index changes: the settings still belong to the default printer.
    EXPECT_EQ(t.platform->settingsFetched, std::vector<std::string>{"B"});
    EXPECT_EQ(t.targets.SettingsDevice(), "B");

    for (int bad : {3, -2, 1000}) {
        try {
            t.targets.SetPrinterIndex(bad);
            ADD_FAILURE() << "index " << bad << " taken";
        } catch (const PrinterError& e) {
            EXPECT_STREQ(e.what(), kPrinterIndexError);
        }
    }
    EXPECT_EQ(t.targets.PrinterIndex(), 2);

    // -1 looks the default up afresh, and asking for the index afterwards finds it again.
    t.platform->deviceEntry = "A,winspool,";
    t.targets.SetPrinterIndex(-1);
    EXPECT_EQ(t.platform->settingsFetched, (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(t.targets.CurrentText(), "A");
    EXPECT_EQ(t.targets.PrinterIndex(), 0);
}

TEST(PrinterTargets, SelectionByNamesMatchesDeviceAndPortOrAppends) {
    auto p = std::make_unique<FakePlatform>();
    p->nt = false;
    p->ports = {{"Laser", "LPT1:,FILE:"}};
    p->deviceEntry = "Laser,,LPT1:";
    Targets t(std::move(p));
    t.targets.SetPrinterNames({"HPPCL", "Laser", "FILE:"});
    EXPECT_EQ(t.targets.PrinterIndex(), 1);
    EXPECT_EQ(t.platform->settingsFetched, std::vector<std::string>{"Laser"});

    const DeviceSettings own{1, 2, 3};
    t.targets.SetPrinterNames({"HPPCL", "Laser", "COM2:"}, &own);
    EXPECT_EQ(t.targets.PrinterIndex(), 2);
    EXPECT_EQ(t.targets.Printers().back(), (PrinterRow{"Laser. COM2:", {"HPPCL", "Laser", "COM2:"}}));
    EXPECT_EQ(t.targets.Settings(), own);
    EXPECT_EQ(t.platform->settingsFetched.size(), 1u);

    // The appended row is a row like the others from now on.
    t.targets.SetPrinterIndex(0);
    t.targets.SetPrinterIndex(2);
    EXPECT_EQ(t.targets.CurrentText(), "Laser. COM2:");
}

TEST(PrinterTargets, ChangesAreRefusedWhilePrinting) {
    PrintingTargets targets(NtPlatform({"A", "B"}, "A"));
    EXPECT_EQ(targets.PrinterIndex(), 0);
    const int changesBefore = targets.changes;
    targets.SetPrinting(true);
    for (auto change :
         {+[](PrinterTargets& t) { t.SetPrinterIndex(1); }, +[](PrinterTargets& t) { t.SetPrinterIndex(-1); },
          +[](PrinterTargets& t) {
              t.SetPrinterNames({"", "B", ""});
          }}) {
        try {
            change(targets);
            ADD_FAILURE() << "change taken while printing";
        } catch (const PrinterError& e) {
            EXPECT_STREQ(e.what(), kPrintingError);
        }
    }
    EXPECT_EQ(targets.PrinterIndex(), 0);
    EXPECT_EQ(targets.changes, changesBefore);
    targets.SetPrinting(false);
    targets.SetPrinterIndex(1);
    EXPECT_EQ(targets.changes, changesBefore + 1);
}

TEST(PrinterMargins, TestPrintersHaveSixMillimetresOnEverySide) {
    const PageMetrics a4{.dpiX = 300,
                         .dpiY = 300,
                         .printableWidth = 2329,
                         .printableHeight = 3358,
                         .physicalWidth = 2479,
                         .physicalHeight = 3508,
                         .offsetX = 75,
                         .offsetY = 75};
    EXPECT_EQ(MarginsFromMetrics(a4), (PrinterMargins{6, 6, 6, 6}));
}

TEST(PrinterMargins, EachSideUsesItsOwnOffsetAndResolution) {
    // 600 x 300 dpi; left 120 units = 5.08 mm, top 30 = 2.54 mm, right 600 - 120 - 300 = 180 units = 7.62 mm,
    // bottom 300 - 30 - 150 = 120 units = 10.16 mm.
    const PageMetrics m{.dpiX = 600,
                        .dpiY = 300,
                        .printableWidth = 300,
                        .printableHeight = 150,
                        .physicalWidth = 600,
                        .physicalHeight = 300,
                        .offsetX = 120,
                        .offsetY = 30};
    EXPECT_EQ(MarginsFromMetrics(m), (PrinterMargins{.Left = 5, .Top = 3, .Right = 8, .Bottom = 10}));
}

TEST(PrinterMargins, QuotientFirstInExtendedPrecisionThenHalvesToEven) {
    // Exact halves go to the even neighbour.
    EXPECT_EQ(UnitsToMillimetres(25, 254), 2);
    EXPECT_EQ(UnitsToMillimetres(15, 254), 2);
    EXPECT_EQ(UnitsToMillimetres(180, 72), 64);
    // 115 / 254 * 25.4 is exactly 11.5 in extended precision (double gives 11.4999...).
    EXPECT_EQ(UnitsToMillimetres(115, 254), 12);
    // 95 / 254 * 25.4 comes out just below 9.5 (multiplying first would give exactly 9.5 and then 10).
    EXPECT_EQ(UnitsToMillimetres(95, 254), 9);
    // 265 / 254 * 25.4 comes out just above 26.5.
    EXPECT_EQ(UnitsToMillimetres(265, 254), 27);
    EXPECT_EQ(UnitsToMillimetres(-25, 254), -2);
    EXPECT_EQ(UnitsToMillimetres(0, 300), 0);
    EXPECT_EQ(UnitsToMillimetres(75, 0), 0);

    EXPECT_EQ(RoundHalfEven(-2.5L), -2.0L);
    EXPECT_EQ(RoundHalfEven(-3.5L), -4.0L);
    EXPECT_EQ(RoundHalfEven(0.5L), 0.0L);
}

} // namespace
} // namespace kelvad
