#pragma once
// What every plug-in of ours does the same way at the interface: reading its input, handing over its blocks and
// answering the information and signature calls.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plugins/interface/plugin_interface_win.h"

namespace kelvad::plugin {

// A failure with its interface result code.
struct Failure {
    int code;
};

// The result code of the exception being handled: a Failure's own code, a decoder's status as its code, kNoMemory
// for a failed allocation and kInternalError for anything else.
int CurrentFailureCode() noexcept;

// Runs one entry point's work and turns what it throws into the interface's result code.
template <class Work> int Answer(Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return CurrentFailureCode();
    }
}

// The information call's record: the picture's size (0 or beyond 0x7FFFFFFF is kCorrupt), its densities and bits
// per pixel, and its text in a local block the caller frees (none when the text is empty).
void FillPictureInfo(PictureInfo& info, std::uint32_t width, std::uint32_t height, WORD xDensity, WORD yDensity,
                     int bits, const std::string& text = {});

// The bytes the picture is read from: a file from an offset (flag & 7 == 0), or a memory image of one (1).
// Inputs beyond 1 GiB are not held in memory.
std::vector<unsigned char> ReadInput(LPCSTR buffer, LONG_PTR length, unsigned flag);

// The first bytes of a file for IsSupported: data is a file handle when its value fits in 16 bits, else the
// first 2 KiB of the file. Answers how many bytes head holds (0 when the handle cannot be read).
std::size_t ReadHead(void* data, unsigned char (&head)[2048]);

// GetPluginInfo's answer for infoNo 0 to 3: "00IN", the description, the extension filter, the format's name.
int PluginInfo(int infoNo, LPSTR buffer, int bufferLength, const char* description, const char* patterns,
               const char* name);

// A movable block, freed unless handed over.
class Block {
public:
    explicit Block(std::size_t size, bool zeroed = true);
    ~Block();
    Block(Block&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)), data_(std::exchange(other.data_, nullptr)) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    unsigned char* data() const noexcept { return data_; }
    HANDLE Release() noexcept;

private:
    HANDLE handle_;
    unsigned char* data_;
};

} // namespace kelvad::plugin
