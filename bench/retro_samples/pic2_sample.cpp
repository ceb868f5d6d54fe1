// PIC2 pictures for the decoding benchmark: the shared picture's colours as 12-bit dots (16 colours) or 24-bit dots
// (256) in one block, raw (P2BM), run-length coded (P2SF) or arithmetic coded (P2SS). The encoders send chains down
// to the dot below (or up to two dots aside) where a colour's edge continues there.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/pic2.h"

namespace kelvad::bench {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    while (bytes-- > 0)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * bytes)));
}

std::uint32_t Swap(std::uint32_t v, unsigned c) {
    const std::uint32_t mask = (1u << c) - 1;
    return (v >> c & mask) << 2 * c | (v >> 2 * c & mask) << c | (v & mask);
}

// The dots of a block as R G B values of depth / 3 bits a channel, rows from the top.
struct Dots {
    std::uint32_t width, height;
    unsigned depth;
    std::vector<std::uint32_t> v;
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const { return v[static_cast<std::size_t>(y) * width + x]; }
};

// Where a chain from (x, y) of colour c goes: the first of below, one left, one right, two left, two right whose dot
// has colour c after a dot of another colour and is not yet reached; 0 for none, else 1 to 5 in that order.
unsigned ChainWay(const Dots& d, const std::vector<bool>& reached, std::uint32_t x, std::uint32_t y) {
    static constexpr int kSteps[6] = {0, 0, -1, 1, -2, 2};
    if (y + 1 >= d.height)
        return 0;
    for (unsigned way = 1; way <= 5; ++way) {
        const std::int64_t t = std::int64_t{x} + kSteps[way];
        if (t < 0 || t >= d.width || reached[static_cast<std::size_t>(t)])
            continue;
        const auto to = static_cast<std::uint32_t>(t);
        const std::uint32_t before = to > 0 ? d.At(to - 1, y + 1) : d.At(d.width - 1, y);
        if (d.At(to, y + 1) == d.At(x, y) && before != d.At(x, y))
            return way;
    }
    return 0;
}

std::uint32_t ChainTarget(std::uint32_t x, unsigned way) {
    static constexpr int kSteps[6] = {0, 0, -1, 1, -2, 2};
    return static_cast<std::uint32_t>(std::int64_t{x} + kSteps[way]);
}

std::vector<std::uint8_t> EncodeRunLengths(const Dots& d) {
    BitWriter out;
    const unsigned c = d.depth / 3;
    std::vector<std::uint32_t> cache(256 * 64, 0);
    std::vector<unsigned> start(256, 0);
    std::vector<std::string> held; // chain codes since the last length
    std::uint64_t run = 0;
    // Lengths from 1023 on are stored one higher: 1023 itself is the escape.
    const auto length = [&](std::uint64_t n, bool escape = false) {
        if (n >= 1023 && !escape)
            ++n;
        unsigned a = 0;
        while ((std::uint64_t{2} << a) - 1 <= n)
            ++a;
        out.Put((1u << a) - 1, a);
        out.Put(0, 1);
        out.Put(static_cast<std::uint32_t>(n - ((std::uint64_t{1} << a) - 1)), a);
    };
    const auto flush = [&] {
        for (const std::string& code : held)
            for (char bit : code)
                out.Put(bit == '1', 1);
        held.clear();
    };
    static const char* const kCodes[6] = {"0", "11", "1011", "1001", "1010", "1000"};
    std::vector<bool> here(d.width), next(d.width);
    std::uint32_t colour = 0;
    for (std::uint32_t y = 0; y < d.height; ++y) {
        for (std::uint32_t x = 0; x < d.width; ++x) {
            const std::uint32_t dot = d.At(x, y);
            const bool chained = here[x];
            if (!chained && dot == colour) {
                ++run;
                continue;
            }
            const unsigned way = ChainWay(d, next, x, y);
            if (way)
                next[ChainTarget(x, way)] = true;
            if (chained) {
                held.push_back(kCodes[way]);
                if (held.size() == 1023) { // the escape: these chain dots without a change point
                    length(1023, true);
                    flush();
                    run = 0;
                }
            } else {
                length(run);
                flush();
                run = 0;
                const std::uint32_t key = Swap(colour, c);
                const std::size_t set = d.depth >= 8 ? key >> (d.depth - 8) : key << (8 - d.depth);
                std::uint32_t* entries = &cache[set * 64];
                const auto found = std::find(entries, entries + 64, dot) - entries;
                if (found < 64) {
                    out.Put(1, 1);
                    out.Put(static_cast<std::uint32_t>((found - start[set] + 64) % 64), 6);
                } else {
                    out.Put(0, 1);
                    out.Put(Swap(dot, c), d.depth);
                    start[set] = (start[set] + 63) % 64;
                    entries[start[set]] = dot;
                }
                for (const char* bit = kCodes[way]; *bit; ++bit)
                    out.Put(*bit == '1', 1);
            }
            colour = dot;
        }
        here.swap(next);
        std::fill(next.begin(), next.end(), false);
    }
    length(run);
    flush();
    return std::move(out.Bytes());
}

// The arithmetic coder behind P2SS's decisions: symbol 0 keeps the lower part of the interval.
class ArithmeticWriter {
public:
    explicit ArithmeticWriter(const std::uint32_t* p) : p_(p) {}
    void Code(unsigned context, unsigned bit) {
        if (!p_) {
            ++(bit ? ones_ : zeros_)[context];
            return;
        }
        std::uint32_t part = (a_ >> 8) * p_[context] >> 8;
        part = part ? part : 1;
        if (bit) {
            low_ += part;
            a_ -= part;
            if (low_ > 0xFFFF) { // a carry into the bits already out
                low_ &= 0xFFFF;
                std::size_t i = bits_.size();
                while (i > 0 && bits_[i - 1])
                    bits_[--i] = 0;
                if (i > 0)
                    bits_[i - 1] = 1;
            }
        } else {
            a_ = part;
        }
        while (a_ < 0x8000) {
            a_ <<= 1;
            bits_.push_back(low_ >> 15 & 1);
            low_ = low_ << 1 & 0xFFFF;
        }
    }
    // Each context's share of 0 bits in 1/65536, from 1 to 65535.
    void Table(std::uint32_t* p) const {
        for (unsigned i = 0; i < 128; ++i) {
            const std::uint64_t n = zeros_[i] + ones_[i];
            p[i] = n ? static_cast<std::uint32_t>(std::clamp<std::uint64_t>((zeros_[i] * 65536 + n / 2) / n, 1, 65535))
                     : 32768;
        }
    }
    std::vector<std::uint8_t> Finish() {
        for (int i = 15; i >= 0; --i)
            bits_.push_back(low_ >> i & 1);
        BitWriter out;
        for (std::uint8_t bit : bits_)
            out.Put(bit, 1);
        return std::move(out.Bytes());
    }

private:
    const std::uint32_t* p_;
    std::uint64_t zeros_[128] = {}, ones_[128] = {};
    std::uint32_t a_ = 0xFFFF, low_ = 0;
    std::vector<std::uint8_t> bits_;
};

// Runs P2SS's model over the dots, telling the writer each decision.
void ModelArithmetic(const Dots& d, ArithmeticWriter& w) {
    const unsigned c = d.depth / 3, top = (1u << c) - 1;
    const auto number = [&](unsigned context, unsigned v) {
        unsigned k = 0;
        while (k < 8 && v >= (2u << k) - 1)
            ++k;
        for (unsigned i = 0; i < k && i < 8; ++i)
            w.Code(context + i, 0);
        if (v == 255 && k == 8)
            return;
        w.Code(context + k, 1);
        for (unsigned i = 0; i < k; ++i)
            w.Code(context + 8 + i, (v - ((1u << k) - 1)) >> i & 1);
    };
    const auto fold = [&](unsigned v, unsigned q) { // the n whose unfolding around q is v
        unsigned n = 0;
        while (formats::Pic2Unfold(n, q, top) != v)
            ++n;
        return n;
    };
    const auto channel = [&](std::uint32_t v, unsigned shift) { return v >> shift & top; };
    std::vector<std::uint32_t> cache(512 * 32, 0);
    std::vector<unsigned> start(512, 0);
    std::vector<std::uint8_t> counts[3] = {std::vector<std::uint8_t>(d.width + 3),
                                           std::vector<std::uint8_t>(d.width + 3),
                                           std::vector<std::uint8_t>(d.width + 3)};
    std::vector<unsigned> here(d.width), next(d.width);
    std::vector<bool> reached(d.width);
    unsigned hit = 16;
    std::uint32_t colour = 0;
    for (std::uint32_t y = 0; y < d.height; ++y) {
        auto &k0 = counts[y % 3], &k1 = counts[(y + 1) % 3], &k2 = counts[(y + 2) % 3];
        std::fill(k2.begin(), k2.end(), 0);
        const std::uint32_t left0 = colour;
        for (std::uint32_t x = 0; x < d.width; ++x) {
            const std::uint32_t dot = d.At(x, y);
            unsigned from = here[x]; // the way a chain came, 0 for a change point
            if (from == 0) {
                const unsigned change = dot != colour;
                w.Code(k0[x + 1], change);
                if (!change)
                    continue;
                ++k0[x + 2], ++k0[x + 3];
                for (std::uint32_t i = x; i < x + 3; ++i)
                    ++k1[i], ++k2[i];
                const std::uint32_t up = y > 0 ? d.At(x, y - 1) : 0, left = x > 0 ? d.At(x - 1, y) : left0;
                const unsigned r3 = channel(up, 2 * c) >> (c - 3), g3 = channel(up, c) >> (c - 3),
                               b3 = channel(up, 0) >> (c - 3);
                const unsigned set = (d.depth == 15 ? g3 << 6 | r3 << 3 : r3 << 6 | g3 << 3) | b3;
                std::uint32_t* entries = &cache[set * 32];
                unsigned& m = start[set];
                unsigned j = 0;
                while (j < 32 && entries[(m + j) % 32] != dot)
                    ++j;
                w.Code(hit, j == 32);
                if (j < 32) {
                    hit = 15;
                    number(17, j);
                    const unsigned i = (m + j / 2) % 32, t = (m + j) % 32;
                    entries[t] = entries[i];
                    entries[i] = entries[m];
                    entries[m] = dot;
                } else {
                    hit = 16;
                    const unsigned r = (channel(up, 2 * c) + channel(left, 2 * c)) >> 1,
                                   g = (channel(up, c) + channel(left, c)) >> 1,
                                   b = (channel(up, 0) + channel(left, 0)) >> 1;
                    const unsigned green = channel(dot, c);
                    const auto shifted = [&](unsigned q) {
                        return static_cast<unsigned>(std::clamp<int>(int(q) + int(green) - int(g), 0, int(top)));
                    };
                    number(32, fold(green, g));
                    number(48, fold(channel(dot, 2 * c), shifted(r)));
                    number(64, fold(channel(dot, 0), shifted(b)));
                    m = (m + 31) % 32;
                    entries[m] = dot;
                }
            }
            colour = dot;
            if (y + 1 < d.height) {
                const unsigned way = ChainWay(d, reached, x, y);
                const unsigned context = 80 + 6 * (from == 0 ? 0 : from);
                w.Code(context, way == 0);
                for (unsigned i = 1; way != 0 && i <= 4 && i <= way; ++i)
                    w.Code(context + i, i == way);
                if (way) {
                    reached[ChainTarget(x, way)] = true;
                    next[ChainTarget(x, way)] = way;
                }
            }
        }
        here.swap(next);
        std::fill(next.begin(), next.end(), 0u);
        std::fill(reached.begin(), reached.end(), false);
    }
}

std::vector<std::uint8_t> EncodeArithmetic(const Dots& d) {
    ArithmeticWriter count(nullptr);
    ModelArithmetic(d, count);
    std::uint32_t p[128];
    count.Table(p);
    ArithmeticWriter writer(p);
    ModelArithmetic(d, writer);
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : p)
        Put(out, v, 2);
    const std::vector<std::uint8_t> coded = writer.Finish();
    out.insert(out.end(), coded.begin(), coded.end());
    return out;
}

std::vector<std::uint8_t> File(const char* kind, const Dots& d) {
    const std::string text = "P2DT" + std::string(18, ' ') + std::string(8, ' ') + "\r\n" + std::string(30, ' ') +
                             "\r\n" + std::string(30, ' ') + "\r\n\x1A";
    std::vector<std::uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    Put(out, 0, 2); // no palette
    Put(out, 0, 2);
    Put(out, 0, 4);
    Put(out, 124, 4); // the first block follows the header
    for (std::uint32_t value : {d.depth, 1u, 1u, d.width, d.height})
        Put(out, value, 2);
    Put(out, 0, 4);

    std::vector<std::uint8_t> data;
    const std::string id = kind;
    if (id == "P2SF") {
        data = EncodeRunLengths(d);
    } else if (id == "P2SS") {
        data = EncodeArithmetic(d);
    } else {
        for (std::uint32_t v : d.v)
            Put(data, v, d.depth == 12 ? 2 : 3);
    }
    out.insert(out.end(), id.begin(), id.end());
    Put(out, 26 + static_cast<std::uint32_t>(data.size()), 4);
    for (std::uint32_t value : {0u, d.width, d.height, 0u, 0u})
        Put(out, value, 2);
    Put(out, 0, 8);
    out.insert(out.end(), data.begin(), data.end());
    Put(out, 0, 8);
    return out;
}

Dots Picture(std::uint32_t width, std::uint32_t height, int colours) {
    Dots d{width, height, colours == 16 ? 12u : 24u, {}};
    d.v.reserve(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t rgb = PictureRgb(PictureDot(x, y, colours), colours);
            d.v.push_back(colours == 16 ? (rgb >> 20 & 15) << 8 | (rgb >> 12 & 15) << 4 | (rgb >> 4 & 15) : rgb);
        }
    return d;
}

const bool kRegistered =
    (RegisterSample(
         {"P2BM", &formats::kPic2Codec,
          [](std::uint32_t w, std::uint32_t h, int colours) { return File("P2BM", Picture(w, h, colours)); }}),
     RegisterSample(
         {"P2SF", &formats::kPic2Codec,
          [](std::uint32_t w, std::uint32_t h, int colours) { return File("P2SF", Picture(w, h, colours)); }}),
     RegisterSample(
         {"P2SS", &formats::kPic2Codec,
          [](std::uint32_t w, std::uint32_t h, int colours) { return File("P2SS", Picture(w, h, colours)); }}),
     true);

} // namespace
} // namespace kelvad::bench
