#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelvad {

// The open dialog's filters: pairs of "shown as|patterns", separated by '|'.
inline constexpr char kPrnFileFilter[] = "prnﾌｧｲﾙ|*.prn|全てのﾌｧｲﾙ|*.*";
inline constexpr char kImageFileFilter[] =
    "All Graphic files|*.BMP;*.JPG;*.JPE;*.GIF;*.TIF;*.PNG;*.ICO;*.WMF;*.EMF;*.PIC;*.P2;*.MAG;*.Q4;*.PI"
    "|Bmp file(*.BMP)|*.BMP|Jpeg file(*.JPG;*.JPE)|*.JPG;*.JPE|Gif file(*.GIF)|*.GIF|Tiff file(*.TIF)|*.TIF"
    "|Png file(*.PNG)|*.PNG"
    "|PIC file(*.PIC)|*.PIC|PIC2 file(*.P2)|*.P2|MAG file(*.MAG)|*.MAG|XLD4 file(*.Q4)|*.Q4|PI file(*.PI)|*.PI"
    "|ICON file(*.ICO)|*.ICO|Meta file(*.WMF;*.EMF)|*.WMF;*.EMF";
inline constexpr char kPrnDefaultExt[] = "prn";

// The room the open dialog has for the chosen names (folder and names together), in characters.
inline constexpr std::size_t kOpenDialogBufferSize = 8192;

struct OpenDialogFilter {
    std::string filter;
    std::string defaultExt;
};

// The filter and default extension for printer files (isPrnFile) or image files.
OpenDialogFilter FilterForFileKind(bool isPrnFile);

// The number of "shown as|patterns" entries of a filter.
int FilterEntryCount(std::string_view filter);

// The entry the dialog opens on (counted from 1): the remembered one, or the first when the filter now in
// force has no such entry.
int OpeningFilterIndex(int remembered, int entryCount);

// The filter as the system dialog takes it: each '|' becomes a NUL, and the whole ends with two NULs.
// Double-byte characters are stepped over whole, so a trail byte that looks like '|' stays.
std::string SystemFilterString(std::string_view filter);

// The names a multiple-selection dialog returned in buffer: either one full path, or the folder followed by
// the names in it, each NUL-terminated, the list ending with an empty string. Returns false when the list
// does not end inside the buffer (the choice did not fit); names then stays empty.
bool ParseChosenFiles(const wchar_t* buffer, std::size_t size, std::vector<std::wstring>& names);

// True when the last part of a path (after its last backslash) holds '*' or '?'.
bool IsWildcardName(const std::wstring& path);

// One entry that a folder search for a pattern found.
struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
    bool isHidden = false;
    bool isSystem = false;
};

// Whether a long name matches a pattern's last part: '*' stands for any run of characters, '?' for one, every other
// character for itself without regard to case; "*.*" matches every name, as it always has on the platform.
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern);

// The names a command-line pattern (a full path) stands for: the files among the entries its folder search
// found whose long names match it (a folder search also matches short 8.3 aliases: "*.prn" finds "b.prnold" by
// "B~1.PRN"), not folders, hidden or system files, in the order of their Shift-JIS names, compared
// case-insensitively, each as a full path; the pattern itself when no file matches, so that the print run reports
// it as not found.
std::vector<std::wstring> ExpandWildcardName(const std::wstring& pattern, std::vector<FolderEntry> found);

} // namespace kelvad
