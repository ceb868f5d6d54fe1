// The retro decoders take memory for what a file's data reaches, not for what its header promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "plugins/formats/pi.h"
#include "plugins/formats/pic.h"
#include "plugins/formats/pic2.h"
#include "tests/host/format_test_util.h"

namespace {
std::size_t largest = 0; // the largest single request since the last reset
}

void* operator new(std::size_t size) {
    largest = std::max(largest, size);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace kelvad::formats {
namespace {

using namespace std::string_literals;

TEST(RetroMemory, ADamagedFileFailsBeforeItsPromisedBitmapIsTaken) {
    const std::string palette16(48, '\x30');
    const struct {
        const Codec& codec;
        std::string file;
    } cases[] = {
        // 16384 x 10000 of 15-bit colour (480 MB as a bitmap), the stream cut after 4 bytes.
        {kPicCodec, "PIC\x1A\0\0\x00\x00\x0F\x40\x00\x27\x10\x00\x00\x00\x00"s},
        // 16000 x 16000 of 16 colours (244 MB), the stream cut after 4 bytes.
        {kPiCodec, "Pi\x1A\0\0\0\0\x04PC98\0\0\x3E\x80\x3E\x80"s + palette16 + "\0\0\0\0"s},
        // A 16384 x 10000 P2SF block of 24-bit dots (480 MB) whose first colour is cut.
        {kPic2Codec, "P2DT" + std::string(94, '.') + "\0\0\0\0\0\0\0\0\0\0\0\x7C\0\x18\0\0\0\0\x40\0\x27\x10\0\0\0\0"s +
                         "P2SF\0\0\0\x1E\0\0\x40\0\x27\x10\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"s + std::string(8, '\0')},
    };
    for (const auto& c : cases) {
        largest = 0;
        test::ExpectStatus(c.codec, {c.file.begin(), c.file.end()}, Status::Corrupt);
        EXPECT_LT(largest, std::size_t{16} << 20) << c.codec.name;
    }
}

} // namespace
} // namespace kelvad::formats
