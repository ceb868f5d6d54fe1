#include <gtest/gtest.h>

#include "lists/file_list.h"

namespace kelvad {
namespace {

using Strings = std::vector<std::string>;
using WideStrings = std::vector<std::wstring>;

TEST(FileListFilter, FiltersAreByteForByteTheProgramsOwn) {
    OpenDialogFilter prn = FilterForFileKind(true);
    // "prnﾌｧｲﾙ|*.prn|全てのﾌｧｲﾙ|*.*" in code page 932: half-width katakana are single bytes.
    EXPECT_EQ(prn.filter, std::string("prn\xCC\xA7\xB2\xD9|*.prn|\x91\x53\x82\xC4\x82\xCC\xCC\xA7\xB2\xD9|*.*"));
    EXPECT_EQ(prn.defaultExt, "prn");

    OpenDialogFilter image = FilterForFileKind(false);
    EXPECT_EQ(image.filter,
              "All Graphic files|*.BMP;*.JPG;*.JPE;*.GIF;*.TIF;*.PNG;*.ICO;*.WMF;*.EMF;*.PIC;*.P2;*.MAG;*.Q4;*.PI|"
              "Bmp file(*.BMP)|*.BMP|Jpeg file(*.JPG;*.JPE)|*.JPG;*.JPE|Gif file(*.GIF)|*.GIF|"
              "Tiff file(*.TIF)|*.TIF|Png file(*.PNG)|*.PNG|PIC file(*.PIC)|*.PIC|PIC2 file(*.P2)|*.P2|"
              "MAG file(*.MAG)|*.MAG|"
              "XLD4 file(*.Q4)|*.Q4|PI file(*.PI)|*.PI|ICON file(*.ICO)|*.ICO|"
              "Meta file(*.WMF;*.EMF)|*.WMF;*.EMF");
    EXPECT_EQ(image.defaultExt, "");

    EXPECT_EQ(FilterEntryCount(prn.filter), 2);
    EXPECT_EQ(FilterEntryCount(image.filter), 13);
    EXPECT_EQ(FilterEntryCount(""), 0);
    // A trail byte 0x7C inside a double-byte character is not a separator.
    EXPECT_EQ(FilterEntryCount("\x83\x7C|*.a"), 1);
}

TEST(FileListFilter, SystemStringSeparatesWithNulsAndKeepsDoubleByteCharacters) {
    EXPECT_EQ(SystemFilterString(kPrnFileFilter),
              std::string("prn\xCC\xA7\xB2\xD9\0*.prn\0\x91\x53\x82\xC4\x82\xCC\xCC\xA7\xB2\xD9\0*.*\0\0", 30));
    EXPECT_EQ(SystemFilterString("\x83\x7C|*.x"), std::string("\x83\x7C\0*.x\0\0", 8));
}

TEST(FileListFilter, RememberedEntryIsUsedWhileTheFilterHasIt) {
    EXPECT_EQ(OpeningFilterIndex(1, 2), 1);
    EXPECT_EQ(OpeningFilterIndex(2, 2), 2);
    EXPECT_EQ(OpeningFilterIndex(12, 12), 12);
    // After a switch from the twelve image entries to the two printer-file entries.
    EXPECT_EQ(OpeningFilterIndex(5, 2), 1);
    EXPECT_EQ(OpeningFilterIndex(0, 2), 1);
}

TEST(ChosenFiles, FolderAndNamesBecomeFullPaths) {
    std::vector<std::wstring> names;
    const wchar_t several[] = L"C:\\work\\dir\0a.prn\0表.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(several, std::size(several), names));
    EXPECT_EQ(names, (WideStrings{L"C:\\work\\dir\\a.prn", L"C:\\work\\dir\\表.prn"}));

    // A root folder already ends with its backslash.
    const wchar_t root[] = L"C:\\\0a.prn\0b.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(root, std::size(root), names));
    EXPECT_EQ(names, (WideStrings{L"C:\\a.prn", L"C:\\b.prn"}));

    const wchar_t one[] = L"C:\\work\\one \uD55C.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(one, std::size(one), names));
    EXPECT_EQ(names, WideStrings{L"C:\\work\\one \uD55C.prn"});
}

TEST(ChosenFiles, AListThatDoesNotEndInTheBufferIsNoChoice) {
    std::vector<std::wstring> names{L"old"};
    const wchar_t cut[] = {'C', ':', '\\', 'd', '\0', 'a', '.', 'p', 'r', 'n', '\0', 'b', '.', 'p'};
    EXPECT_FALSE(ParseChosenFiles(cut, std::size(cut), names));
    EXPECT_TRUE(names.empty());
    // The last name fits but the closing empty string does not.
    const wchar_t noEnd[] = {'C', ':', '\\', 'd', '\0', 'a', '\0'};
    EXPECT_FALSE(ParseChosenFiles(noEnd, std::size(noEnd), names));
    const wchar_t nothing[] = {'\0', '\0'};
    EXPECT_FALSE(ParseChosenFiles(nothing, std::size(nothing), names));
}

TEST(CommandLinePattern, ExpandsToTheFilesInCaseInsensitiveNameOrder) {
    // Only the last part of a name is a pattern; "\\?\" begins a long path.
    EXPECT_TRUE(IsWildcardName(L"C:\\data\\x?.prn"));
    EXPECT_TRUE(IsWildcardName(L"C:\\\uD45C\\*.prn"));
    EXPECT_FALSE(IsWildcardName(L"C:\\a*\\x.prn"));
    EXPECT_FALSE(IsWildcardName(L"\\\\?\\C:\\x.prn"));

    // Names are ordered by their Shift-JIS bytes; a name beyond Shift-JIS is found and kept whole.
    const std::wstring pattern = L"C:\\表\\*.prn";
    const std::vector<FolderEntry> found = {
        {L"b.prn"}, {L"sub.prn", true}, {L"A.prn"}, {L".h.prn", false, true}, {L"sys.prn", false, false, true},
        {L"c.PRN"}, {L"表.prn"},        {L"_x.prn"}, {L"a.prn"},              {L"\uD55C.prn"},
        // Found through their 8.3 aliases (B~1.PRN, C~1.PRN) only: never taken.
        {L"b.prnold"}, {L"c.prn.bak"},
    };
    EXPECT_EQ(ExpandWildcardName(pattern, found),
              (WideStrings{L"C:\\表\\\uD55C.prn", L"C:\\表\\_x.prn", L"C:\\表\\A.prn", L"C:\\表\\a.prn",
                           L"C:\\表\\b.prn", L"C:\\表\\c.PRN", L"C:\\表\\表.prn"}));

    // No file among the matches: the pattern stays, to be reported as not found.
    EXPECT_EQ(ExpandWildcardName(pattern, {}), WideStrings{pattern});
    EXPECT_EQ(ExpandWildcardName(pattern, {{L"sub.prn", true}, {L".h.prn", false, true}}), WideStrings{pattern});

    for (const auto& [name, mask, matches] : std::vector<std::tuple<const wchar_t*, const wchar_t*, bool>>{
             {L"a.PRN", L"*.prn", true},  {L"a.prn.bak", L"*.prn", false}, {L"ab.prn", L"a?.prn", true},
             {L"a.prn", L"a?.prn", false}, {L"x.y.z", L"*.*", true},        {L"README", L"*.*", true},
             {L"aXbXc", L"a*b*c", true},  {L"aXbX", L"a*b*c", false},      {L"", L"*", true}})
        EXPECT_EQ(MatchesWildcard(name, mask), matches) << name << " " << mask;
}

} // namespace
} // namespace kelvad
