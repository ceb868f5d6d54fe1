// The retro decoding benchmark (not a test): each registered format decodes the same 640 x 400 16-colour and
// 1024 x 768 256-colour pictures (registry.h's PictureDot); it reports megapixels per second of processor time and the
// decode's memory peak against the decoded bitmap. Plain C++ on the host; scripts/retro-bench builds and runs it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>

#include "bench/retro_samples/registry.h"

namespace {

// Bytes held through operator new, and the most held since the last reset.
std::size_t held = 0;
std::size_t peak = 0;

void* Allocate(std::size_t size) {
    // Each block carries its size in front, 16 bytes to keep the alignment.
    auto* block = static_cast<unsigned char*>(std::malloc(size + 16));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    held += size;
    peak = std::max(peak, held);
    return block + 16;
}

void Free(void* p) {
    if (!p)
        return;
    auto* block = static_cast<unsigned char*>(p) - 16;
    held -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

struct Result {
    double megapixelsPerSecond;
    double peakRatio;
    std::size_t fileSize;
};

Result Measure(const kelvad::bench::Sample& sample, std::uint32_t width, std::uint32_t height, int colours) {
    const std::vector<std::uint8_t> file = sample.make(width, height, colours);
    if (file.empty())
        return {0, 0, 0};
    // One decode for the memory peak over what is held before it (the file).
    const std::size_t before = held;
    peak = held;
    std::size_t bitmap = 0;
    {
        const kelvad::formats::DecodedImage image = sample.codec->decode(file.data(), file.size());
        if (image.info.width != width || image.info.height != height) {
            std::fprintf(stderr, "%s: decoded %ux%u, expected %ux%u\n", sample.name, image.info.width,
                         image.info.height, width, height);
            std::exit(1);
        }
        bitmap = image.pixels.size() + image.palette.size() * 4;
    }
    const double ratio = static_cast<double>(peak - before) / static_cast<double>(bitmap);

    // Then as many decodes as fill half a second of processor time (the machine may be shared), at least three.
    const std::clock_t start = std::clock();
    int rounds = 0;
    double seconds = 0;
    do {
        const auto image = sample.codec->decode(file.data(), file.size());
        ++rounds;
        seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    } while (seconds < 0.5 || rounds < 3);
    return {static_cast<double>(width) * height * rounds / seconds / 1e6, ratio, file.size()};
}

// Mpixel/s a format should reach: P2SS codes every colour bit by bit through its arithmetic coder.
double Goal(const char* name) {
    const std::string format = name;
    return format == "Pi" ? 100 : format == "P2SS" ? 10 : 50;
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}

int main() {
    struct Picture {
        std::uint32_t width, height;
        int colours;
    };
    const Picture pictures[] = {{640, 400, 16}, {1024, 768, 256}};
    std::printf("%-6s %-16s %10s %12s %14s\n", "format", "picture", "file", "Mpixel/s", "peak/bitmap");
    bool goals = true;
    for (const kelvad::bench::Sample& sample : kelvad::bench::Samples())
        for (const Picture& p : pictures) {
            const Result r = Measure(sample, p.width, p.height, p.colours);
            if (r.fileSize == 0)
                continue;
            char picture[32];
            std::snprintf(picture, sizeof picture, "%ux%u/%d", p.width, p.height, p.colours);
            std::printf("%-6s %-16s %10zu %12.1f %14.2f\n", sample.name, picture, r.fileSize, r.megapixelsPerSecond,
                        r.peakRatio);
            goals = goals && r.megapixelsPerSecond >= Goal(sample.name) && r.peakRatio <= 2.5;
        }
    std::printf("goals (Mpixel/s at least 100 for Pi, 10 for P2SS, 50 for the others; a peak of at most 2.5 x the "
                "bitmap): %s\n",
                goals ? "met" : "NOT met");
    return 0;
}
