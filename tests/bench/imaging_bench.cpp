// The image options pass on a 3840 x 2160 picture, beside a plain copy of the same bytes.
// Goals: every option on within 15 times the copy of the 24-bit rows; the whole pass (read the
// rows of a display-format picture, apply, store back, frame) under 60 ms.
//
//   imaging_bench [benchmark options]
//   imaging_bench --write-ppm=FILE    writes the benchmark's picture as a binary PPM and exits,
//                                     so that peer tools work on the same pixels
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "imaging/ApplyImageOptions.h"
#include "imaging/ImagePipeline.h"
#include "imaging/PixelConversion.h"
#include "imaging/StandardPalettes.h"

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

// The options pass over the source picture; every run starts from the same picture and the
// copy is not timed.
void applyOptions(benchmark::State& state, const ImageOptions& options) {
    const PixelRows& source = sourceRows();
    PixelRows work = source;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.bytes.data(), source.bytes.data(), work.bytes.size());
        state.ResumeTiming();
        ApplyImageOptions(work.bytes.data(), work.width, work.height, work.stride(), options);
        benchmark::ClobberMemory();
    }
    setBytes(state, work.bytes.size());
}

void BM_ApplyEveryOption(benchmark::State& state) {
    applyOptions(state, everyOption());
}
BENCHMARK(BM_ApplyEveryOption)->Unit(benchmark::kMillisecond);

// One option at a time, and the four together, as a picture editor would apply them in turn.
enum class Step { Invert, Mirror, Grey, BrightnessContrast, AllFour };

ImageOptions stepOptions(Step step) {
    ImageOptions o;
    o.invert = step == Step::Invert || step == Step::AllFour;
    o.mirror = step == Step::Mirror || step == Step::AllFour;
    o.grey = step == Step::Grey || step == Step::AllFour;
    if (step == Step::BrightnessContrast || step == Step::AllFour) {
        o.brightness = 20;
        o.contrast = 40;
    }
    return o;
}

void BM_ApplyStep(benchmark::State& state, Step step) {
    applyOptions(state, stepOptions(step));
}
BENCHMARK_CAPTURE(BM_ApplyStep, invert, Step::Invert)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ApplyStep, mirror, Step::Mirror)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ApplyStep, grey, Step::Grey)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ApplyStep, brightness_contrast, Step::BrightnessContrast)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ApplyStep, all_four, Step::AllFour)->Unit(benchmark::kMillisecond);

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

// The same two conversions for the other layouts, each through its own line functions.
std::vector<ColorValue> paletteFor(PixelFormat format) {
    return format == PixelFormat::Indexed8 ? halftonePalette256()
           : isIndexed(format)             ? standardPalette16()
                                           : std::vector<ColorValue>{};
}

void BM_ReadPicture(benchmark::State& state, PixelFormat format) {
    const Picture picture = pictureFromRows(sourceRows(), format, paletteFor(format));
    PixelRows rows;
    for (auto _ : state) {
        readPixelLines(picture, 0, picture.height(), rows);
        benchmark::DoNotOptimize(rows.bytes.data());
    }
    setBytes(state, rows.bytes.size());
}

void BM_BuildPicture(benchmark::State& state, PixelFormat format) {
    const PixelRows& rows = sourceRows();
    const std::vector<ColorValue> palette = paletteFor(format);
    for (auto _ : state) {
        Picture picture = pictureFromRows(rows, format, palette);
        benchmark::DoNotOptimize(picture.bits().data());
    }
    setBytes(state, rows.bytes.size());
}

// Both, for each of those layouts.
const bool kLayoutBenchmarks = [] {
    for (const auto& [name, format] :
         {std::pair{"indexed4", PixelFormat::Indexed4},
          std::pair{"indexed8", PixelFormat::Indexed8}, std::pair{"rgb565", PixelFormat::Rgb565},
          std::pair{"rgb24", PixelFormat::Rgb24}}) {
        const std::string layout = name;
        benchmark::RegisterBenchmark(("BM_ReadPicture/" + layout).c_str(), BM_ReadPicture, format)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_BuildPicture/" + layout).c_str(), BM_BuildPicture, format)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

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

// Red, green, blue rows from top to bottom, as PPM wants them.
bool writePpm(const char* path) {
    const PixelRows& rows = sourceRows();
    const std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path, "wb"),
                                                                  &std::fclose);
    if (!file) {
        return false;
    }
    std::fprintf(file.get(), "P6\n%d %d\n255\n", rows.width, rows.height);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(rows.width) * 3);
    for (int y = rows.height - 1; y >= 0; --y) {  // the rows are stored bottom-up
        const std::uint8_t* in = rows.row(y);
        for (int x = 0; x < rows.width; ++x) {
            line[3 * x] = in[3 * x + 2];
            line[3 * x + 1] = in[3 * x + 1];
            line[3 * x + 2] = in[3 * x];
        }
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWritePpm = "--write-ppm=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(kWritePpm)) {
        return writePpm(argv[1] + kWritePpm.size()) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
