// A Pi file for the decoding benchmark: the shared picture, coded by a greedy encoder that takes the longest copy of
// the five positions and raw colour pairs where none fits.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/pi.h"

namespace kelvad::bench {
namespace {

class PiEncoder {
public:
    PiEncoder(std::uint32_t width, std::uint32_t height, unsigned colourBits)
        : width_(width), total_(static_cast<std::size_t>(width) * height), colourBits_(colourBits),
          colours_(1u << colourBits), above_(std::max<std::size_t>(2 * width, 4)), table_(colours_ * colours_),
          dots_(above_ + total_) {
        for (unsigned c = 0; c < colours_; ++c)
            for (unsigned i = 0; i < colours_; ++i)
                table_[c * colours_ + i] = static_cast<std::uint8_t>((c - i) & (colours_ - 1));
    }

    std::uint8_t* Picture() { return dots_.data() + above_; }

    std::vector<std::uint8_t> Encode() {
        std::uint8_t* pic = Picture();
        const std::uint8_t first = pic[0], second = total_ > 1 ? pic[1] : pic[0];
        for (std::size_t i = 0; i < above_; i += 2) {
            dots_[i] = first;
            dots_[i + 1] = second;
        }
        PutColour(0, first);
        PutColour(first, second);
        std::size_t at = 0;
        unsigned previous = kNone;
        while (at < total_) {
            auto [position, units] = BestCopy(at, previous);
            if (units > 0) {
                PutPosition(position);
                PutLength(units);
                at = std::min(total_, at + 2 * units);
                previous = position;
                continue;
            }
            // Raw pairs, announced by repeating the last copy's position, until a copy fits again.
            PutPosition(previous);
            for (;;) {
                PutColour(pic[at - 1], pic[at]);
                if (++at == total_)
                    return Finish();
                PutColour(pic[at - 1], pic[at]);
                if (++at == total_)
                    return Finish();
                const bool copy = BestCopy(at, kNone).second > 0;
                bits_.Put(copy ? 0 : 1, 1);
                if (copy)
                    break;
            }
            previous = kNone;
        }
        return Finish();
    }

private:
    static constexpr unsigned kNone = 5;

    std::size_t Offset(std::size_t at, unsigned position) const {
        const std::uint8_t* pic = dots_.data() + above_;
        switch (position) {
        case 0:
            return pic[at - 1] == pic[at - 2] ? 2 : 4;
        case 1:
            return width_;
        case 2:
            return 2 * width_;
        case 3:
            return width_ - 1;
        default:
            return width_ + 1;
        }
    }

    // The position (other than the one just used) that copies the most whole two-pixel units from at.
    std::pair<unsigned, std::size_t> BestCopy(std::size_t at, unsigned previous) const {
        const std::uint8_t* pic = dots_.data() + above_;
        std::pair<unsigned, std::size_t> best{0, 0};
        for (unsigned position = 0; position < 5; ++position) {
            const std::size_t offset = Offset(at, position);
            if (position == previous || offset == 0)
                continue;
            std::size_t n = 0;
            while (at + n < total_ && pic[at + n] == pic[at + n - offset])
                ++n;
            const std::size_t units = at + n == total_ ? (n + 1) / 2 : n / 2;
            if (units > best.second)
                best = {position, units};
        }
        return best;
    }

    void PutColour(std::uint8_t left, std::uint8_t colour) {
        std::uint8_t* row = &table_[left * colours_];
        const unsigned place = static_cast<unsigned>(std::find(row, row + colours_, colour) - row);
        std::copy_backward(row, row + place, row + place + 1);
        row[0] = colour;
        if (place < 2) {
            bits_.Put(2 | place, 2);
            return;
        }
        unsigned ones = 0;
        while (place >= 4u << ones)
            ++ones;
        bits_.Put(0, 1);
        bits_.Put((1u << ones) - 1, ones);
        if (ones < colourBits_ - 2)
            bits_.Put(0, 1);
        bits_.Put(place - (2u << ones), ones + 1);
    }
    void PutPosition(unsigned position) {
        if (position < 3)
            bits_.Put(position, 2);
        else
            bits_.Put(position == 3 ? 6 : 7, 3);
    }
    void PutLength(std::size_t units) {
        unsigned ones = 0;
        while (units >> (ones + 1) != 0)
            ++ones;
        bits_.Put((2u << ones) - 2, ones + 1);
        bits_.Put(static_cast<std::uint32_t>(units), ones);
    }
    std::vector<std::uint8_t> Finish() {
        bits_.Put(0, 32);
        return std::move(bits_.Bytes());
    }

    std::uint32_t width_;
    std::size_t total_;
    unsigned colourBits_, colours_;
    std::size_t above_;
    std::vector<std::uint8_t> table_;
    std::vector<std::uint8_t> dots_;
    BitWriter bits_;
};

std::vector<std::uint8_t> MakePiSample(std::uint32_t width, std::uint32_t height, int colours) {
    const unsigned bits = colours == 256 ? 8 : 4;
    std::vector<std::uint8_t> file{'P', 'i', 'b', 'e', 'n', 'c', 'h', 0x1A, 0, 0, 0, 0, static_cast<std::uint8_t>(bits),
                                   'B', 'N', 'C', 'H', 0,   0};
    file.insert(file.end(), {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                             static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)});
    for (unsigned i = 0; i < (1u << bits); ++i)
        file.insert(file.end(), {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 91),
                                 static_cast<std::uint8_t>(255 - i)});
    PiEncoder encoder(width, height, bits);
    std::uint8_t* pic = encoder.Picture();
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            pic[static_cast<std::size_t>(y) * width + x] = PictureDot(x, y, 1u << bits);
    const std::vector<std::uint8_t> stream = encoder.Encode();
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

const bool kRegistered = (RegisterSample({"Pi", &formats::kPiCodec, &MakePiSample}), true);

} // namespace
} // namespace kelvad::bench
