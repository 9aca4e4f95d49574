// Times, from outside the program, a capture key press until the window it opens is on the
// screen and painted. The key goes in through XTest as a real key event; the probe then watches
// the window with plain X events:
//   mapped        MapNotify of the window (StructureNotify on it)
//   exposed       its first Expose: the server asks the program to paint
//   first paint   its first DAMAGE report: the program's first drawing reached the window
//   painted       the last DAMAGE report before the window stays unchanged for QUIET_MS
// Escape hides the window again between runs.
//
//   keypress_probe RUNS TITLE_REGEX [KEY [QUIET_MS]]
//   prints one line per run and, last, the medians, minimums and maximums in milliseconds
#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

struct Connection {
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c{xcb_connect(nullptr, nullptr),
                                                                   &xcb_disconnect};
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols{
        nullptr, &xcb_key_symbols_free};
    xcb_window_t root = XCB_NONE;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    std::uint8_t damageEvent = 0;

    bool open() {
        if (xcb_connection_has_error(c.get())) {
            return false;
        }
        root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;
        symbols.reset(xcb_key_symbols_alloc(c.get()));
        Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c.get(), xcb_intern_atom(c.get(), 0, 12, "_NET_WM_NAME"),
                                  nullptr),
            &std::free);
        netWmName = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c.get(), &xcb_damage_id);
        const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c.get(), &xcb_test_id);
        if (damage == nullptr || !damage->present || xtest == nullptr || !xtest->present) {
            std::fprintf(stderr, "keypress_probe: the server lacks DAMAGE or XTEST\n");
            return false;
        }
        damageEvent = damage->first_event;
        std::free(xcb_damage_query_version_reply(
            c.get(),
            xcb_damage_query_version(c.get(), XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        return true;
    }

    std::string property(xcb_window_t w, xcb_atom_t atom) {
        Reply<xcb_get_property_reply_t> r(
            xcb_get_property_reply(
                c.get(), xcb_get_property(c.get(), 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                nullptr),
            &std::free);
        if (!r) {
            return {};
        }
        return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                           xcb_get_property_value_length(r.get()));
    }

    // A viewable window in the tree whose _NET_WM_NAME (or WM_NAME) matches.
    xcb_window_t findViewable(xcb_window_t w, const std::regex& title, int depth = 0) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c.get(), xcb_query_tree(c.get(), w), nullptr), &std::free);
        if (!tree || depth > 3) {
            return XCB_NONE;
        }
        const xcb_window_t* kids = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(
                    c.get(), xcb_get_window_attributes(c.get(), kids[i]), nullptr),
                &std::free);
            if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
                continue;
            }
            std::string name = property(kids[i], netWmName);
            if (name.empty()) {
                name = property(kids[i], XCB_ATOM_WM_NAME);
            }
            if (!name.empty() && std::regex_search(name, title)) {
                return kids[i];
            }
            if (const xcb_window_t found = findViewable(kids[i], title, depth + 1)) {
                return found;
            }
        }
        return XCB_NONE;
    }

    void tap(xcb_keysym_t keysym) {
        Reply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), keysym), &std::free);
        if (!codes || codes.get()[0] == XCB_NO_SYMBOL) {
            return;
        }
        const xcb_keycode_t code = codes.get()[0];
        xcb_test_fake_input(c.get(), XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c.get(), XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c.get());
    }

    // The next event, waiting at most until the deadline (sleeping in poll, not spinning).
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> next(Clock::time_point deadline) {
        for (;;) {
            if (xcb_generic_event_t* e = xcb_poll_for_event(c.get())) {
                return {e, &std::free};
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(c.get())) {
                return {nullptr, &std::free};
            }
            pollfd fd{xcb_get_file_descriptor(c.get()), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(left.count()) + 1);
        }
    }
};

constexpr xcb_keysym_t kEscape = 0xff1b;

double msSince(Clock::time_point start, Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(t - start).count();
}

struct Run {
    double mapped = -1, exposed = -1, firstPaint = -1, painted = -1;
};

// Waits until the window is unmapped (after Escape) or the deadline passes.
bool waitUnmapped(Connection& x, xcb_window_t window, Clock::time_point deadline) {
    while (auto e = x.next(deadline)) {
        if ((e->response_type & 0x7f) == XCB_UNMAP_NOTIFY &&
            reinterpret_cast<xcb_unmap_notify_event_t*>(e.get())->window == window) {
            return true;
        }
    }
    return false;
}

std::optional<Run> measure(Connection& x, xcb_window_t window, xcb_keysym_t key, int quietMs) {
    Run run;
    const Clock::time_point start = Clock::now();
    x.tap(key);
    Clock::time_point deadline = start + std::chrono::seconds(5);
    while (auto e = x.next(deadline)) {
        const Clock::time_point now = Clock::now();
        const int type = e->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY &&
            reinterpret_cast<xcb_map_notify_event_t*>(e.get())->window == window) {
            run.mapped = msSince(start, now);
        } else if (type == XCB_EXPOSE && run.exposed < 0 &&
                   reinterpret_cast<xcb_expose_event_t*>(e.get())->window == window) {
            run.exposed = msSince(start, now);
        } else if (type == x.damageEvent + XCB_DAMAGE_NOTIFY && run.mapped >= 0) {
            if (run.firstPaint < 0) {
                run.firstPaint = msSince(start, now);
            }
            run.painted = msSince(start, now);
            deadline = now + std::chrono::milliseconds(quietMs);
        }
    }
    if (run.mapped < 0 || run.painted < 0) {
        return std::nullopt;
    }
    x.tap(kEscape);
    waitUnmapped(x, window, Clock::now() + std::chrono::seconds(5));
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS TITLE_REGEX [KEYSYM [QUIET_MS]]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::regex title(argv[2]);
    const xcb_keysym_t key = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 0xff61;  // Print
    const int quietMs = argc > 4 ? std::atoi(argv[4]) : 300;

    Connection x;
    if (!x.open()) {
        return 1;
    }
    // The first press finds the window; it is watched from then on, across hiding and showing.
    x.tap(key);
    xcb_window_t window = XCB_NONE;
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(10);
    while (window == XCB_NONE && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        window = x.findViewable(x.root, title);
    }
    if (window == XCB_NONE) {
        std::fprintf(stderr, "keypress_probe: no window titled like \"%s\" appeared\n", argv[2]);
        return 1;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;
    xcb_change_window_attributes(x.c.get(), window, XCB_CW_EVENT_MASK, &mask);
    const xcb_damage_damage_t damage = xcb_generate_id(x.c.get());
    xcb_damage_create(x.c.get(), damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    x.tap(kEscape);
    if (!waitUnmapped(x, window, Clock::now() + std::chrono::seconds(5))) {
        std::fprintf(stderr, "keypress_probe: Escape did not hide the window\n");
        return 1;
    }

    std::vector<double> mapped, exposed, firstPaint, painted;
    std::printf("%4s %10s %10s %12s %10s   (ms after the key press)\n", "run", "mapped", "exposed",
                "first paint", "painted");
    for (int i = 0; i < runs; ++i) {
        // Let the program settle, then drop what arrived meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        while (x.next(Clock::now())) {
        }
        const std::optional<Run> run = measure(x, window, key, quietMs);
        if (!run) {
            std::fprintf(stderr, "keypress_probe: run %d: the window did not appear\n", i + 1);
            return 1;
        }
        std::printf("%4d %10.1f %10.1f %12.1f %10.1f\n", i + 1, run->mapped, run->exposed,
                    run->firstPaint, run->painted);
        mapped.push_back(run->mapped);
        exposed.push_back(run->exposed);
        firstPaint.push_back(run->firstPaint);
        painted.push_back(run->painted);
    }
    xcb_damage_destroy(x.c.get(), damage);
    xcb_flush(x.c.get());
    const auto row = [](const char* what, const std::vector<double>& v) {
        std::printf("%-12s median %7.1f   min %7.1f   max %7.1f\n", what, median(v),
                    *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
    };
    std::printf("\n");
    row("mapped", mapped);
    row("exposed", exposed);
    row("first paint", firstPaint);
    row("painted", painted);
    return 0;
}
