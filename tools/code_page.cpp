// Prints the ANSI code page of the Wine environment it runs in, for the end-to-end tests.
#include <windows.h>

#include <cstdio>

int main() {
    std::printf("%u\n", GetACP());
    return 0;
}
