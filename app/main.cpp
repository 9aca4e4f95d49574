#include <QByteArray>
#include <cstdio>
#include <string>

#include "LinuxPlatform.h"
#include "Main.h"
#include "VarnosetApplication.h"
#include "X11DisplayCheck.h"

int main(int argc, char** argv) {
    // An X11 program: in a Wayland session it runs through XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::string why;
    if (!varnoset::canOpenX11Display(why)) {
        std::fprintf(stderr, "varnoset: %s; Varnoset needs an X11 desktop.\n", why.c_str());
        return 1;
    }
    varnoset::VarnosetApplication app(argc, argv);
    varnoset::TVarnosetMain mainWindow(varnoset::makeLinuxPlatform());
    if (!mainWindow.FormCreate()) {
        return 0;  // another copy runs: end at once, touching nothing
    }
    return app.exec();
}
