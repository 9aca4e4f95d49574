// Loading and saving the whole option set through a real store file, with and without the
// fsync; "one file sync" measures the floor that every save pays on this disk. The store lives
// in a scratch folder under the current directory, so run it from a folder on the disk that
// holds ~/.config.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/settings/OptionSet.h"
#include "tests/support/FakeOptionHolders.h"
#include "tests/support/ScratchFolder.h"

using namespace varnoset;
using varnoset::test::FakeOptionHolders;
using varnoset::test::ScratchFolder;

namespace {

constexpr PixelRect kScreen{0, 0, 1920, 1080};
constexpr PixelSize kWindow{443, 421};

// The store with all its values, as after a first start and a close.
class ScratchStore {
public:
    ScratchStore() {
        FakeOptionHolders holders;
        SettingsStore first(file());
        LoadOptions(first, holders, kScreen, kWindow);  // the first start
        SettingsStore close(file());
        SaveClosingOptions(close, holders);  // all 37 values now stored
    }
    std::filesystem::path file() const { return folder_.storeFile(); }
    const std::filesystem::path& folder() const { return folder_.path(); }

private:
    ScratchFolder folder_{std::filesystem::current_path()};
};

void loadOptions(benchmark::State& state) {
    const ScratchStore scratch;
    for (auto _ : state) {
        FakeOptionHolders holders;
        SettingsStore store(scratch.file());
        LoadOptions(store, holders, kScreen, kWindow);
        benchmark::DoNotOptimize(holders);
    }
}

void saveOptions(benchmark::State& state, SettingsStore::Sync sync) {
    const ScratchStore scratch;
    FakeOptionHolders holders;
    for (auto _ : state) {
        holders.setNumber(Number::ScrollBar1, static_cast<int>(state.iterations() % 255) - 127);
        SettingsStore store(scratch.file(), sync);
        SaveOptions(store, holders);
    }
}

void saveOptionsSynced(benchmark::State& state) {
    saveOptions(state, SettingsStore::Sync::Durable);
}
void saveOptionsUnsynced(benchmark::State& state) {
    saveOptions(state, SettingsStore::Sync::Skip);
}

// Writing and syncing a file of the store's size: what no atomic save can avoid.
void oneFileSync(benchmark::State& state) {
    const ScratchStore scratch;
    const std::string content(1100, 'x');
    const auto file = scratch.folder() / "sync-only";
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        benchmark::DoNotOptimize(::write(fd, content.data(), content.size()));
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

BENCHMARK(loadOptions)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveOptionsUnsynced)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveOptionsSynced)->Unit(benchmark::kMicrosecond);
BENCHMARK(oneFileSync)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
