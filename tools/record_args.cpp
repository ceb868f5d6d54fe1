// Stands in for a browser in the help tests: the shell starts it as the open command for .html.
//
//   record_args.exe OUTPUT_FILE ARGUMENT...
//
// Writes the arguments after OUTPUT_FILE to OUTPUT_FILE, one per line.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2)
        return 64;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out)
        return 1;
    for (int i = 2; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    return std::fclose(out) == 0 ? 0 : 1;
}
