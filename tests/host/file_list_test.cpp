#include <gtest/gtest.h>

#include "lists/file_list.h"

namespace kelvad {
namespace {

using Strings = std::vector<std::string>;

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
    std::vector<std::string> names;
    const char several[] = "C:\\work\\dir\0a.prn\0\x95\x5C.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(several, sizeof several, names));
    EXPECT_EQ(names, (Strings{"C:\\work\\dir\\a.prn", "C:\\work\\dir\\\x95\x5C.prn"}));

    // A root folder already ends with its backslash.
    const char root[] = "C:\\\0a.prn\0b.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(root, sizeof root, names));
    EXPECT_EQ(names, (Strings{"C:\\a.prn", "C:\\b.prn"}));

    // A folder ending in "表" (whose trail byte is 0x5C) still needs its separator.
    const char table[] = "C:\\\x95\x5C\0a.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(table, sizeof table, names));
    EXPECT_EQ(names, Strings{"C:\\\x95\x5C\\a.prn"});

    const char one[] = "C:\\work\\one file.prn\0\0";
    ASSERT_TRUE(ParseChosenFiles(one, sizeof one, names));
    EXPECT_EQ(names, Strings{"C:\\work\\one file.prn"});
}

TEST(ChosenFiles, AListThatDoesNotEndInTheBufferIsNoChoice) {
    std::vector<std::string> names{"old"};
    const char cut[] = {'C', ':', '\\', 'd', '\0', 'a', '.', 'p', 'r', 'n', '\0', 'b', '.', 'p'};
    EXPECT_FALSE(ParseChosenFiles(cut, sizeof cut, names));
    EXPECT_TRUE(names.empty());
    // The last name fits but the closing empty string does not.
    const char noEnd[] = {'C', ':', '\\', 'd', '\0', 'a', '\0'};
    EXPECT_FALSE(ParseChosenFiles(noEnd, sizeof noEnd, names));
    const char nothing[] = {'\0', '\0'};
    EXPECT_FALSE(ParseChosenFiles(nothing, sizeof nothing, names));
}

TEST(CommandLinePattern, ExpandsToTheFilesInCaseInsensitiveNameOrder) {
    // Only the last part of a name is a pattern; "\\?\" begins a long path.
    EXPECT_TRUE(IsWildcardName("C:\\data\\x?.prn"));
    EXPECT_TRUE(IsWildcardName("C:\\表\\*.prn"));
    EXPECT_FALSE(IsWildcardName("C:\\a*\\x.prn"));
    EXPECT_FALSE(IsWildcardName("\\\\?\\C:\\x.prn"));

    // "表" ends in the byte of a backslash: the folder is cut at the real one.
    const std::string pattern = "C:\\表\\*.prn";
    const std::vector<FolderEntry> found = {
        {"b.prn"},  {"sub.prn", true}, {"A.prn"}, {".h.prn", false, true}, {"sys.prn", false, false, true}, {"c.PRN"},
        {"表.prn"}, {"_x.prn"},        {"a.prn"},
    };
    EXPECT_EQ(ExpandWildcardName(pattern, found), (Strings{"C:\\表\\_x.prn", "C:\\表\\A.prn", "C:\\表\\a.prn",
                                                           "C:\\表\\b.prn", "C:\\表\\c.PRN", "C:\\表\\表.prn"}));

    // No file among the matches: the pattern stays, to be reported as not found.
    EXPECT_EQ(ExpandWildcardName(pattern, {}), Strings{pattern});
    EXPECT_EQ(ExpandWildcardName(pattern, {{"sub.prn", true}, {".h.prn", false, true}}), Strings{pattern});
}

} // namespace
} // namespace kelvad
