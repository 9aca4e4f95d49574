// Starts a tray program and reports, in milliseconds, the time from exec until a window of the
// given name is docked in the system tray, then its resident memory once it has been idle.
//
//   startup_probe ICON_NAME IDLE_MS PROGRAM [ARGS...]
//   prints: "<ms to icon> <resident kB> <CPU ms to icon> <proportional set kB>"
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t netWmName = XCB_ATOM_NONE;

std::string property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t atom) {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                               nullptr),
        &std::free);
    if (!r) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                       xcb_get_property_value_length(r.get()));
}

// Qt names its windows in _NET_WM_NAME; older programs only in WM_NAME.
std::string windowName(xcb_connection_t* c, xcb_window_t w) {
    std::string name = property(c, w, netWmName);
    return name.empty() ? property(c, w, XCB_ATOM_WM_NAME) : name;
}

// True when some descendant of a window named "panel" is named `name`.
bool docked(xcb_connection_t* c, xcb_window_t w, const std::string& name, bool inPanel) {
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr),
                                       &std::free);
    if (!tree) {
        return false;
    }
    const xcb_window_t* kids = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const std::string n = windowName(c, kids[i]);
        if (inPanel && n == name) {
            return true;
        }
        if (docked(c, kids[i], name, inPanel || n == "panel")) {
            return true;
        }
    }
    return false;
}

// A "Name:   value kB" line of a /proc file, in kB.
long procKb(const std::string& file, const std::string& field) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + field.size());
        }
    }
    return -1;
}

// CPU time the process's threads have run so far, in ms (the scheduler's own count, in ns):
// unlike the wall time, it hardly moves when other work shares the cores.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
            double onCpu = 0;
            if (in >> onCpu) {
                ns += onCpu;
            }
        }
        closedir(dir);
    }
    return ns / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ICON_NAME IDLE_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const std::string name = argv[1];
    const int idleMs = std::atoi(argv[2]);
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(xcb_connect(nullptr, nullptr),
                                                                   &xcb_disconnect);
    if (xcb_connection_has_error(c.get())) {
        return 1;
    }
    Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c.get(), xcb_intern_atom(c.get(), 0, 12, "_NET_WM_NAME"), nullptr),
        &std::free);
    if (atom) {
        netWmName = atom->atom;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double ms = -1;
    double cpu = -1;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        if (docked(c.get(), root, name, false)) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
            cpu = cpuMs(child);
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    const std::string proc = "/proc/" + std::to_string(child);
    const long kb = procKb(proc + "/status", "VmRSS:");
    const long pss = procKb(proc + "/smaps_rollup", "Pss:");
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    std::printf("%.1f %ld %.1f %ld\n", ms, kb, cpu, pss);
    return ms < 0 ? 1 : 0;
}
