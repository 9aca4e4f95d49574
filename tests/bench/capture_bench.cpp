// The full-screen grab against its floor, a bare GetImage of the root window, on the display
// in $DISPLAY. Run through capture_bench.sh, which provides a private one.
#include <benchmark/benchmark.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "capture/CaptureRect.h"
#include "capture/CaptureScreenRect.h"
#include "platform/linux/XcbScreen.h"

namespace {

class Display : public benchmark::Fixture {
public:
    void SetUp(benchmark::State& state) override {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            state.SkipWithError("no X display");
            return;
        }
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    }
    void TearDown(benchmark::State&) override { xcb_disconnect(connection); }

    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
};

}  // namespace

// The floor: the root window's pixels through the X socket into xcb's reply buffer.
BENCHMARK_F(Display, BareGetImage)(benchmark::State& state) {
    for (auto _ : state) {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
            nullptr);
        benchmark::DoNotOptimize(reply);
        std::free(reply);
    }
}

// The same pixels written by the server into a shared segment that is already attached.
BENCHMARK_F(Display, BareShmGetImage)(benchmark::State& state) {
    const std::size_t size = std::size_t{4} * screen->width_in_pixels * screen->height_in_pixels;
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    void* address = shmat(id, nullptr, 0);
    const xcb_shm_seg_t seg = xcb_generate_id(connection);
    std::free(xcb_request_check(connection, xcb_shm_attach_checked(connection, seg, id, 0)));
    shmctl(id, IPC_RMID, nullptr);
    for (auto _ : state) {
        xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(
            connection,
            xcb_shm_get_image(connection, screen->root, 0, 0, screen->width_in_pixels,
                              screen->height_in_pixels, ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
            nullptr);
        benchmark::DoNotOptimize(reply);
        std::free(reply);
    }
    xcb_shm_detach(connection, seg);
    shmdt(address);
}

// What a capture does: the screen size asked afresh, the rectangle clamped, the pixels copied
// into a new picture in the display's format.
BENCHMARK_F(Display, CaptureScreenRect)(benchmark::State& state) {
    varnoset::XcbScreen xcbScreen(connection);
    const varnoset::CaptureRect whole{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    for (auto _ : state) {
        varnoset::Picture picture = varnoset::CaptureScreenRect(xcbScreen, whole);
        benchmark::DoNotOptimize(picture.bits().data());
    }
}

// The first capture of a run, which also makes and attaches the shared segment.
BENCHMARK_F(Display, CaptureScreenRectFirstOfARun)(benchmark::State& state) {
    const varnoset::CaptureRect whole{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    for (auto _ : state) {
        varnoset::XcbScreen xcbScreen(connection);
        varnoset::Picture picture = varnoset::CaptureScreenRect(xcbScreen, whole);
        benchmark::DoNotOptimize(picture.bits().data());
    }
}

BENCHMARK_MAIN();
