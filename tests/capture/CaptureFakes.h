#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "capture/CaptureHost.h"
#include "capture/WindowState.h"
#include "core/Error.h"
#include "imaging/Picture.h"
#include "imaging/PixelConversion.h"
#include "platform/ActiveWindow.h"
#include "platform/Clipboard.h"
#include "platform/Hotkeys.h"
#include "platform/Screen.h"
#include "platform/Sound.h"

// Stand-ins for the main window and the desktop, all writing into one shared log so that tests
// can check the order in which a capture does things.
namespace capture_fakes {

using varnoset::Picture;
using varnoset::PixelFormat;

struct Log {
    QStringList entries;
    void add(const QString& entry) {
        if (armed != nullptr && *armed != armedBefore) {
            armedBefore = *armed;
            entries << (armedBefore ? QStringLiteral("armed") : QStringLiteral("disarmed"));
        }
        entries << entry;
    }
    // From here on, a change of the flag since the previous entry is logged before the next one
    // ("armed", "disarmed"), so that a test sees where among the steps the key was let go.
    void watchArmed(const bool& flag) {
        armed = &flag;
        armedBefore = flag;
    }
    int indexOf(const QString& entry) const { return static_cast<int>(entries.indexOf(entry)); }
    bool has(const QString& entry) const { return entries.contains(entry); }

private:
    const bool* armed = nullptr;
    bool armedBefore = false;
};

// Each pixel holds its own screen position (blue = x, green = y, red = x + y, modulo 256), so a
// picture shows which part of the screen it came from.
inline Picture screenPixels(const QRect& rect) {
    Picture picture(rect.width(), rect.height(), PixelFormat::Device);
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            std::uint8_t* p = picture.scanLine(y) + 4 * x;
            p[0] = static_cast<std::uint8_t>(rect.x() + x);
            p[1] = static_cast<std::uint8_t>(rect.y() + y);
            p[2] = static_cast<std::uint8_t>(rect.x() + x + rect.y() + y);
        }
    }
    return picture;
}

class FakeScreen final : public varnoset::Screen {
public:
    explicit FakeScreen(Log& log, QSize size = {1024, 768}) : log_(log), size_(size) {}
    QSize size() const override { return size_; }
    int bitsPerPixel() const override { return 32; }
    QSize dotsPerInch() const override { return {96, 96}; }
    Picture grab(const QRect& rect) override {
        grabs.push_back(rect);
        log_.add(QStringLiteral("grab %1,%2 %3x%4")
                     .arg(rect.x())
                     .arg(rect.y())
                     .arg(rect.width())
                     .arg(rect.height()));
        return screenPixels(rect);
    }
    std::vector<QRect> grabs;

private:
    Log& log_;
    QSize size_;
};

class FakeActiveWindow final : public varnoset::ActiveWindow {
public:
    Handle window = 0x400001;
    QRect frame{100, 200, 402, 325};
    QRect client{101, 220, 400, 300};
    Handle foreground() const override { return window; }
    QRect windowRect(Handle w) const override { return w == window ? frame : QRect(); }
    QRect clientRect(Handle w) const override { return w == window ? client : QRect(); }
    bool locatable = true;
    bool canLocate() const override { return locatable; }
};

class FakeSound final : public varnoset::Sound {
public:
    explicit FakeSound(Log& log) : log_(log) {}
    bool playable = true;
    bool playCaptureSound() override {
        log_.add(QStringLiteral("sound"));
        return playable;
    }
    void beep() override { log_.add(QStringLiteral("beep")); }

private:
    Log& log_;
};

// Gives back what was put on it, as 24-bit rows (as a clipboard hands back its own format).
class FakeClipboard final : public varnoset::Clipboard {
public:
    explicit FakeClipboard(Log& log) : log_(log) {}
    bool failRead = false;
    std::optional<Picture> held;
    void setPicture(const Picture& picture) override {
        log_.add(QStringLiteral("clipboard set"));
        held = picture;
    }
    bool hasPicture() const override { return held.has_value() && !failRead; }
    Picture picture() const override {
        log_.add(QStringLiteral("clipboard read"));
        if (failRead || !held) {
            throw varnoset::Error("Unsupported clipboard format");
        }
        Picture copy = *held;
        varnoset::convertPixelFormat(copy, PixelFormat::Rgb24);
        return copy;
    }

private:
    Log& log_;
};

class FakeHotkeys final : public varnoset::Hotkeys {
public:
    explicit FakeHotkeys(Log& log) : log_(log) {}
    struct Registration {
        int id;
        Modifier modifier;
        std::uint32_t keySymbol;
    };
    std::vector<Registration> registered;  // what is registered now
    void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) override {
        log_.add(QStringLiteral("register %1 %2 %3")
                     .arg(id)
                     .arg(modifier == Modifier::Alt ? "alt" : "alone")
                     .arg(keySymbol, 0, 16));
        unregister(id);
        registered.push_back({id, modifier, keySymbol});
    }
    void unregisterHotkey(int id) override {
        log_.add(QStringLiteral("unregister %1").arg(id));
        unregister(id);
    }
    void setHandler(std::function<void(int)>) override {}
    // Keys that another program holds: registered, never held while listed here.
    std::vector<std::uint32_t> takenElsewhere;
    int retries = 0;
    bool isHeld(int id) const override {
        const Registration* r = find(id);
        return r != nullptr && r->keySymbol != 0 &&
               std::find(takenElsewhere.begin(), takenElsewhere.end(), r->keySymbol) ==
                   takenElsewhere.end();
    }
    void retryRefused() override { ++retries; }
    bool desktopBinds = false;
    bool boundByDesktop() const override { return desktopBinds; }
    void setHeldChangedHandler(std::function<void()> handler) override {
        heldChanged = std::move(handler);
    }
    std::function<void()> heldChanged;
    const Registration* find(int id) const {
        for (const auto& r : registered) {
            if (r.id == id) {
                return &r;
            }
        }
        return nullptr;
    }

private:
    void unregister(int id) {
        std::erase_if(registered, [id](const Registration& r) { return r.id == id; });
    }
    Log& log_;
};

// The main window's commands, over the window's state that the capture dispatch works on.
class FakeHost final : public varnoset::CaptureHost {
public:
    FakeHost(Log& log, varnoset::WindowState& state) : log_(log), state_(state) {}

    bool suspended = false;  // Suspend1's check mark
    int shows = 0;
    int prints = 0;
    int edits = 0;
    bool visible = true;
    std::optional<bool> processingWhilePrinting;
    std::function<void()> onPrint;
    std::function<void()> onShow;  // showing the window fails when it throws

    void showMainWindow() override {
        log_.add(QStringLiteral("show"));
        if (onShow) {
            onShow();
        }
        visible = true;
        ++shows;
    }
    void hideMainWindow() override {
        log_.add(QStringLiteral("hide"));
        visible = false;
    }
    void rearmHotkeyIfHidden() override {
        if (!visible) {
            state_.HotkeyArmed = !suspended;
        }
    }
    void setImageOptions() override {
        log_.add(state_.ProcessingEnabled ? QStringLiteral("image options")
                                          : QStringLiteral("image options, processing off"));
    }
    void printPicture() override {
        log_.add(QStringLiteral("print"));
        processingWhilePrinting = state_.ProcessingEnabled;
        ++prints;
        if (onPrint) {
            onPrint();
        }
    }
    void editPicture() override {
        log_.add(QStringLiteral("edit"));
        ++edits;
    }
    void notify(const QString& title, const QString&) override {
        log_.add(QStringLiteral("notify ") + title);
    }

private:
    Log& log_;
    varnoset::WindowState& state_;
};

}  // namespace capture_fakes
