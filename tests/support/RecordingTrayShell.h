#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Notifications.h"
#include "platform/TrayShell.h"

namespace varnoset::test {

// Records every call a tray icon makes on the notification area.
struct Recorder {
    std::vector<std::string> calls;
    TrayIconRecord last;
    std::function<void(TrayMouseMessage)> handler;
    QMenu* menu = nullptr;
    std::function<void()> noArea;
};

class RecordingShell : public TrayShell {
public:
    explicit RecordingShell(Recorder& r) : r_(r) {}
    bool add(const TrayIconRecord& rec) override { return note("add", rec); }
    bool modify(const TrayIconRecord& rec) override { return note("modify", rec); }
    bool remove(const TrayIconRecord& rec) override { return note("remove", rec); }
    void setMessageHandler(std::function<void(TrayMouseMessage)> h) override { r_.handler = h; }
    void showMessage(const QString& title, const QString& text) override {
        r_.calls.emplace_back("message:" + title.toStdString() + "|" + text.toStdString());
    }
    void setMenu(QMenu* menu) override { r_.menu = menu; }
    void setNoAreaHandler(std::function<void()> h) override { r_.noArea = h; }

private:
    bool note(const char* what, const TrayIconRecord& rec) {
        r_.calls.emplace_back(std::string(what) + ":" + rec.toolTip.toStdString());
        r_.last = rec;
        return true;
    }
    Recorder& r_;
};

// Records the desktop notifications beside the tray's calls.
class RecordingNotifications : public Notifications {
public:
    explicit RecordingNotifications(Recorder& r) : r_(r) {}
    void notify(const Notification& n) override {
        r_.calls.emplace_back("notify:" + n.title.toStdString() + "|" + n.text.toStdString());
    }
    void setFallback(std::function<bool(const Notification&)>) override {}

private:
    Recorder& r_;
};

}  // namespace varnoset::test
