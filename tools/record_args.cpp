// Stands in for a browser in the help tests: the shell starts it as the open command for .html.
//
//   record_args.exe OUTPUT_FILE ARGUMENT...
//
// Writes the arguments after OUTPUT_FILE to OUTPUT_FILE, one per line. The file appears whole: it is written
// under another name and renamed, so a test that sees it can read it at once.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2)
        return 64;
    const std::string partial = std::string(argv[1]) + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out)
        return 1;
    for (int i = 2; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    if (std::fclose(out) != 0)
        return 1;
    return MoveFileExA(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
