#include "plugins/plugin_io_win.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "plugins/formats/decoded_image.h"

namespace kelvad::plugin {

namespace {

constexpr LONGLONG kMaxInput = 1LL << 30;

int CopyText(const char* text, LPSTR buffer, int length) {
    if (!buffer || length <= 0)
        return 0;
    const int n = std::min<int>(static_cast<int>(std::strlen(text)), length - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return n;
}

int CodeOf(formats::Status status) {
    switch (status) {
    case formats::Status::UnknownFormat:
        return kUnknownFormat;
    case formats::Status::NoMemory:
        return kNoMemory;
    case formats::Status::Corrupt:
    default:
        return kCorrupt;
    }
}

} // namespace

int CurrentFailureCode() noexcept {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure.code;
    } catch (const formats::DecodeError& error) {
        return CodeOf(error.status);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (...) {
        return kInternalError;
    }
}

void FillPictureInfo(PictureInfo& info, std::uint32_t width, std::uint32_t height, WORD xDensity, WORD yDensity,
                     int bits, const std::string& text) {
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw Failure{kCorrupt};
    HLOCAL textBlock = nullptr;
    if (!text.empty()) {
        textBlock = LocalAlloc(LMEM_FIXED, text.size() + 1);
        if (!textBlock)
            throw Failure{kNoMemory};
        std::memcpy(textBlock, text.c_str(), text.size() + 1);
    }
    info = PictureInfo{};
    info.width = static_cast<LONG>(width);
    info.height = static_cast<LONG>(height);
    info.xDensity = xDensity;
    info.yDensity = yDensity;
    info.colorDepth = static_cast<SHORT>(bits);
    info.hInfo = textBlock;
}

std::vector<unsigned char> ReadInput(LPCSTR buffer, LONG_PTR length, unsigned flag) {
    if ((flag & 7) == 1) {
        if (!buffer || length <= 0)
            throw Failure{kUnknownFormat};
        if (static_cast<LONGLONG>(length) > kMaxInput)
            throw Failure{kNoMemory};
        const auto* p = reinterpret_cast<const unsigned char*>(buffer);
        return std::vector<unsigned char>(p, p + length);
    }
    if ((flag & 7) != 0 || !buffer || length < 0)
        throw Failure{kInternalError};
    HANDLE file =
        CreateFileA(buffer, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw Failure{kReadError};
    struct Closer {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{file};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        throw Failure{kReadError};
    if (size.QuadPart <= length)
        throw Failure{kUnknownFormat};
    if (size.QuadPart - length > kMaxInput)
        throw Failure{kNoMemory};
    LARGE_INTEGER at{};
    at.QuadPart = length;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        throw Failure{kReadError};
    std::vector<unsigned char> data(static_cast<std::size_t>(size.QuadPart - length));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        if (!ReadFile(file, data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr))
            throw Failure{kReadError};
        if (got == 0)
            break;
        done += got;
    }
    data.resize(done);
    return data;
}

std::size_t ReadHead(void* data, unsigned char (&head)[2048]) {
    std::memset(head, 0, sizeof head);
    if ((reinterpret_cast<ULONG_PTR>(data) & ~ULONG_PTR(0xFFFF)) != 0) {
        std::memcpy(head, data, sizeof head);
        return sizeof head;
    }
    DWORD got = 0;
    if (!data || !ReadFile(static_cast<HANDLE>(data), head, sizeof head, &got, nullptr))
        return 0;
    return got;
}

int PluginInfo(int infoNo, LPSTR buffer, int bufferLength, const char* description, const char* patterns,
               const char* name) {
    switch (infoNo) {
    case 0:
        return CopyText("00IN", buffer, bufferLength);
    case 1:
        return CopyText(description, buffer, bufferLength);
    case 2:
        return CopyText(patterns, buffer, bufferLength);
    case 3:
        return CopyText(name, buffer, bufferLength);
    default:
        return 0;
    }
}

Block::Block(std::size_t size, bool zeroed)
    : handle_(GlobalAlloc(GMEM_MOVEABLE | (zeroed ? GMEM_ZEROINIT : 0), size ? size : 1)) {
    if (!handle_)
        throw Failure{kNoMemory};
    data_ = static_cast<unsigned char*>(GlobalLock(handle_));
    if (!data_) {
        GlobalFree(handle_);
        throw Failure{kMemoryError};
    }
}

Block::~Block() {
    if (handle_) {
        GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
}

HANDLE Block::Release() noexcept {
    GlobalUnlock(handle_);
    return std::exchange(handle_, nullptr);
}

} // namespace kelvad::plugin
