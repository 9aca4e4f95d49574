#include "app/DelayedCommand.h"

#include <utility>

namespace varnoset {

DelayedCommand::DelayedCommand(QObject* parent, std::function<void(Command)> run,
                               std::function<void(std::optional<int>)> countdown)
    : QObject(parent), run_(std::move(run)), countdown_(std::move(countdown)) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &DelayedCommand::tick);
}

void DelayedCommand::start(Command command, int seconds) {
    command_ = command;
    left_ = seconds;
    timer_.start();  // a waiting command's count starts again with the new one
    countdown_(left_);
}

void DelayedCommand::cancel() {
    if (!command_) {
        return;
    }
    timer_.stop();
    command_.reset();
    countdown_(std::nullopt);
}

void DelayedCommand::tick() {
    if (--left_ > 0) {
        countdown_(left_);
        return;
    }
    timer_.stop();
    const Command due = *std::exchange(command_, std::nullopt);
    countdown_(std::nullopt);
    run_(due);
}

}  // namespace varnoset
