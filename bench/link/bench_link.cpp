// Throughput of the frame receiver: a stream of valid 1 KiB frames arriving
// in 64-byte chunks, as a fast serial adapter would deliver them, with the
// traffic log off.
#include "link/frame.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char **argv)
{
    constexpr size_t kFrameSize = 1024;
    constexpr size_t kChunk = 64;
    constexpr size_t kFramesInStream = 256;
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 512.0;

    // Random payloads, so the scan meets stray marker bytes as on a real line.
    std::mt19937 random(12345);
    std::vector<uint8_t> stream(kFramesInStream * kFrameSize);
    std::vector<uint8_t> data(kFrameSize - 10);
    for (size_t f = 0; f < kFramesInStream; ++f) {
        for (uint8_t &b : data)
            b = uint8_t(random());
        vrs::WriteFrame(stream.data() + f * kFrameSize, uint8_t(1 + f % 9), data.data(), data.size());
    }

    vrs::FrameReceiver receiver;
    size_t frames = 0;
    unsigned checksum = 0;
    receiver.setHandler([&](const uint8_t *frame, size_t size) {
        ++frames;
        checksum += frame[size - 1];
    });

    const size_t rounds = size_t(megabytes * 1024 * 1024 / double(stream.size())) + 1;
    const auto start = std::chrono::steady_clock::now();
    for (size_t r = 0; r < rounds; ++r)
        for (size_t pos = 0; pos < stream.size(); pos += kChunk)
            receiver.Receive(stream.data() + pos, kChunk);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    const double bytes = double(rounds) * double(stream.size());
    const size_t expected = rounds * kFramesInStream;
    std::printf("%zu frames of %zu bytes in %zu-byte chunks: %.3f s, %.1f MB/s (checksum %u)\n", frames,
                kFrameSize, kChunk, elapsed.count(), bytes / elapsed.count() / 1e6, checksum);
    if (frames != expected) {
        std::printf("error: %zu frames expected\n", expected);
        return 1;
    }
    return 0;
}
