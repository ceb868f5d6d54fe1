#pragma once
// The pictures of the test plug-in, shared with the tests that check them.

namespace test_plugin {

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb&) const = default;
};

// 24-bit pictures: the colour of pixel (x, y), counted from the top-left corner.
inline Rgb TrueColour(unsigned x, unsigned y) {
    return {static_cast<unsigned char>(x * 37 + y * 11), static_cast<unsigned char>(x * 5 + y * 29),
            static_cast<unsigned char>(x * y)};
}
// 8-bit pictures: the palette index of pixel (x, y) and the colour of palette entry i.
inline unsigned PaletteIndex(unsigned x, unsigned y) {
    return (x + 3 * y) & 255;
}
inline Rgb PaletteColour(unsigned i) {
    return {static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i), static_cast<unsigned char>(i * 7)};
}

} // namespace test_plugin
