// The image options pass on a 3840 x 2160 picture, beside a plain copy of the same bytes.
// Goals: every option on within 15 times the copy of the 24-bit rows; the whole pass (read the
// rows of a display-format picture, apply, store back, frame) under 60 ms.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "ApplyImageOptions.h"
#include "ImagePipeline.h"
#include "PixelConversion.h"

using namespace varnoset;

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

// Something like a desktop: flat areas (black and white among them), gradients and noise.
Picture desktopPicture() {
    Picture picture(kWidth, kHeight, PixelFormat::Device);
    std::mt19937 random(1);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* line = picture.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = line + 4 * x;
            switch ((x / 240 + y / 270) % 4) {
                case 0:
                    p[0] = p[1] = p[2] = 0;
                    break;
                case 1:
                    p[0] = p[1] = p[2] = 255;
                    break;
                case 2:
                    p[0] = static_cast<std::uint8_t>(x);
                    p[1] = static_cast<std::uint8_t>(y);
                    p[2] = static_cast<std::uint8_t>(x + y);
                    break;
                default: {
                    const auto v = random();
                    p[0] = static_cast<std::uint8_t>(v);
                    p[1] = static_cast<std::uint8_t>(v >> 8);
                    p[2] = static_cast<std::uint8_t>(v >> 16);
                }
            }
        }
    }
    return picture;
}

const Picture& sourcePicture() {
    static const Picture picture = desktopPicture();
    return picture;
}

const PixelRows& sourceRows() {
    static const PixelRows rows = readPixelRows(sourcePicture());
    return rows;
}

ImageOptions everyOption() {
    ImageOptions o;
    o.green = false;
    o.swap = true;
    o.brightness = 20;
    o.contrast = 40;
    o.invert = true;
    o.mirror = true;
    o.grey = true;
    return o;
}

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_MemcpyRows(benchmark::State& state) {
    const PixelRows& source = sourceRows();
    std::vector<std::uint8_t> copy(source.bytes.size(), 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), source.bytes.data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, copy.size());
}
BENCHMARK(BM_MemcpyRows)->Unit(benchmark::kMillisecond);

void BM_ApplyEveryOption(benchmark::State& state) {
    const PixelRows& source = sourceRows();
    const ImageOptions options = everyOption();
    PixelRows work = source;
    for (auto _ : state) {
        // Every run starts from the same picture; the copy is not timed.
        state.PauseTiming();
        std::memcpy(work.bytes.data(), source.bytes.data(), work.bytes.size());
        state.ResumeTiming();
        ApplyImageOptions(work.bytes.data(), work.width, work.height, work.stride(), options);
        benchmark::ClobberMemory();
    }
    setBytes(state, work.bytes.size());
}
BENCHMARK(BM_ApplyEveryOption)->Unit(benchmark::kMillisecond);

void BM_ApplyDefaults(benchmark::State& state) {
    // Defaults change nothing, so the same rows serve every run.
    PixelRows work = sourceRows();
    for (auto _ : state) {
        ApplyImageOptions(work.bytes.data(), work.width, work.height, work.stride(),
                          ImageOptions{});
        benchmark::ClobberMemory();
    }
    setBytes(state, work.bytes.size());
}
BENCHMARK(BM_ApplyDefaults)->Unit(benchmark::kMillisecond);

void BM_MemcpyDevicePicture(benchmark::State& state) {
    const Picture& source = sourcePicture();
    std::vector<std::uint8_t> copy(source.bits().size(), 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), source.bits().data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, copy.size());
}
BENCHMARK(BM_MemcpyDevicePicture)->Unit(benchmark::kMillisecond);

// The two conversions around the options, each over the whole picture.
void BM_ReadDevicePicture(benchmark::State& state) {
    const Picture& source = sourcePicture();
    PixelRows rows;
    for (auto _ : state) {
        readPixelLines(source, 0, source.height(), rows);
        benchmark::DoNotOptimize(rows.bytes.data());
    }
    setBytes(state, source.bits().size());
}
BENCHMARK(BM_ReadDevicePicture)->Unit(benchmark::kMillisecond);

void BM_BuildDevicePicture(benchmark::State& state) {
    const PixelRows& rows = sourceRows();
    for (auto _ : state) {
        Picture picture = pictureFromRows(rows, PixelFormat::Device);
        benchmark::DoNotOptimize(picture.bits().data());
    }
    setBytes(state, sourcePicture().bits().size());
}
BENCHMARK(BM_BuildDevicePicture)->Unit(benchmark::kMillisecond);

void passBenchmark(benchmark::State& state, ImageOptions options) {
    const Picture& source = sourcePicture();
    options.frame = true;
    options.frameSize = 4;
    ImagePipeline pipeline;
    for (auto _ : state) {
        ImagePipeline::Result result = pipeline.run(source, options, false);
        benchmark::DoNotOptimize(result.preview.bits().data());
    }
    setBytes(state, source.bits().size());
}

void BM_WholePassEveryOption(benchmark::State& state) {
    passBenchmark(state, everyOption());
}
BENCHMARK(BM_WholePassEveryOption)->Unit(benchmark::kMillisecond);

void BM_WholePassDefaults(benchmark::State& state) {
    passBenchmark(state, ImageOptions{});
}
BENCHMARK(BM_WholePassDefaults)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
