#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvad {

// What the program takes from its command line: file names in their order, whether a print switch stood there, the
// printer named for this run by the last "/D:name" or "-D:name" (the letter in either case), and whether "/?" or
// "-?" asked for the usage. The program reads the wide command line, so that no name arrives with '?' in place of
// what the ANSI code page cannot hold.
struct WideCommandLine {
    std::vector<std::wstring> fileNames;
    bool autoPrint = false;
    std::optional<std::wstring> printerName;
    bool showUsage = false;
};

// The box that "/?" shows: the command line's forms and the exit status (Shift-JIS).
inline constexpr char kUsageText[] =
    "Kelvad32 [ファイル名...] [-p] [/D:名前]\r\n\r\n"
    "ファイル名 ...\r\n"
    "　出力するファイル。* と ? で複数を指定。\r\n"
    "-p  (-P、/p、/P も同じ)\r\n"
    "　ファイルを出力して終了します。\r\n"
    "/D:プリンタ名  (-D: も同じ)\r\n"
    "　この実行だけ、そのプリンタに出力します。\r\n"
    "　空白を含む名前は \"/D:名前\" と囲みます。\r\n"
    "/?\r\n"
    "　この説明を表示します。\r\n\r\n"
    "終了コード (-p のとき)\r\n"
    "　すべて出力できたとき 0、それ以外は 1。\r\n\r\n"
    "例: Kelvad32 -p \"/D:Label Printer\" *.prn";

// Every parameter of a raw command line, the program path (parameter 0) included. Blanks and control characters
// separate parameters except inside double quotes; the quotes themselves are dropped.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// A print switch is any parameter found, case-sensitively, as a contiguous piece of " -p -P /p /P ".
bool IsPrintSwitch(std::wstring_view parameter);

// Parameters 1 to N sorted into print switches and file names; empty parameters ("") are passed over.
WideCommandLine ParseCommandLine(std::wstring_view commandLine);

} // namespace kelvad
