#pragma once
// Readers over a byte block that never read outside it: a read past the end throws DecodeError{Corrupt}.
#include <cstddef>
#include <cstdint>

#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return size_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ >= size_; }

    void Seek(std::size_t position) {
        if (position > size_)
            Fail();
        pos_ = position;
    }
    void Skip(std::size_t count) {
        if (count > Remaining())
            Fail();
        pos_ += count;
    }
    std::uint8_t U8() {
        if (pos_ >= size_)
            Fail();
        return data_[pos_++];
    }
    std::uint16_t U16LE() {
        const std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | U8() << 8);
    }
    std::uint16_t U16BE() {
        const std::uint16_t hi = U8();
        return static_cast<std::uint16_t>(hi << 8 | U8());
    }
    std::uint32_t U32LE() {
        const std::uint32_t lo = U16LE();
        return lo | static_cast<std::uint32_t>(U16LE()) << 16;
    }
    std::uint32_t U32BE() {
        const std::uint32_t hi = U16BE();
        return hi << 16 | U16BE();
    }
    // A pointer to the next count bytes, which are then skipped.
    const std::uint8_t* Take(std::size_t count) {
        if (count > Remaining())
            Fail();
        const std::uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }

    [[noreturn]] static void Fail() { throw DecodeError{Status::Corrupt}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Bits from a byte block, most significant bit of each byte first.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    unsigned Bit() {
        if (byte_ >= size_)
            ByteReader::Fail();
        const unsigned bit = data_[byte_] >> (7 - bit_) & 1;
        if (++bit_ == 8) {
            bit_ = 0;
            ++byte_;
        }
        return bit;
    }
    // count bits (at most 32) as an unsigned number, the first bit read the most significant.
    std::uint32_t Bits(unsigned count) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i)
            value = value << 1 | Bit();
        return value;
    }
    // The next count bits (1 to 25) without reading them; bits past the block's end count as 0.
    std::uint32_t Peek(unsigned count) const {
        std::uint32_t window = 0;
        if (byte_ + 4 <= size_) {
            window = static_cast<std::uint32_t>(data_[byte_]) << 24 | data_[byte_ + 1] << 16 | data_[byte_ + 2] << 8 |
                     data_[byte_ + 3];
        } else {
            for (std::size_t i = byte_; i < byte_ + 4; ++i)
                window = window << 8 | (i < size_ ? data_[i] : 0u);
        }
        return window << bit_ >> (32 - count);
    }
    // Moves past count bits as reading them would: throws when they run past the block's end.
    void SkipBits(std::size_t count) {
        const std::size_t bits = bit_ + count;
        if (bits / 8 > size_ - byte_ || (bits / 8 == size_ - byte_ && bits % 8 != 0))
            ByteReader::Fail();
        byte_ += bits / 8;
        bit_ = static_cast<unsigned>(bits % 8);
    }
    std::size_t BytePosition() const { return byte_; }
    bool AtEnd() const { return byte_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t byte_ = 0;
    unsigned bit_ = 0;
};

// BitReader's order through a 64-bit window refilled a byte at a time: for long bit streams. Reads past the end throw
// DecodeError{Corrupt} like the others.
class WindowBitReader {
public:
    WindowBitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // count bits (at most 32) as an unsigned number, the first bit read the most significant.
    std::uint32_t Bits(unsigned count) {
        if (count > avail_)
            Refill(count);
        avail_ -= count;
        return static_cast<std::uint32_t>(window_ >> avail_ & ((std::uint64_t{1} << count) - 1));
    }
    unsigned Bit() { return Bits(1); }
    // The next count bits (1 to 32) without reading them; bits past the block's end count as 0.
    std::uint32_t Peek(unsigned count) {
        if (count > avail_)
            Fill();
        const std::uint64_t bits = count <= avail_ ? window_ >> (avail_ - count) : window_ << (count - avail_);
        return static_cast<std::uint32_t>(bits & ((std::uint64_t{1} << count) - 1));
    }
    // Moves past count bits (at most 32) as reading them would.
    void Skip(unsigned count) {
        if (count > avail_)
            Refill(count);
        avail_ -= count;
    }
    // The next byte's position, counting a partly read byte as read.
    std::size_t BytePosition() const { return pos_ - avail_ / 8; }

private:
    void Fill() {
        while (avail_ <= 56 && pos_ < size_) {
            window_ = window_ << 8 | data_[pos_++];
            avail_ += 8;
        }
    }
    void Refill(unsigned count) {
        Fill();
        if (count > avail_)
            ByteReader::Fail();
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint64_t window_ = 0;
    unsigned avail_ = 0; // unread bits, the low ones of window_
};

} // namespace kelvad::formats
