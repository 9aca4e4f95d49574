#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/CommandMessage.h"

namespace varnoset {

// A command that waits some seconds before it runs, counting down each second: `--delay` and
// the tray's "Capture the Desktop in 5 Seconds". One waits at a time: a new one replaces it.
class DelayedCommand : public QObject {
public:
    // run carries the command out when its time has come; countdown hears the seconds left at
    // the start and after each second, and nothing once the wait has ended or been cancelled.
    DelayedCommand(QObject* parent, std::function<void(Command)> run,
                   std::function<void(std::optional<int> secondsLeft)> countdown);

    void start(Command command, int seconds);
    void cancel();
    bool waiting() const { return command_.has_value(); }

private:
    void tick();

    std::function<void(Command)> run_;
    std::function<void(std::optional<int>)> countdown_;
    QTimer timer_;
    std::optional<Command> command_;
    int left_ = 0;
};

}  // namespace varnoset
