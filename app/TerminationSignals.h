#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace varnoset {

// Turns SIGTERM and SIGINT into a call on the GUI thread, so the program can end politely
// (close procedure, settings written) instead of dying in the middle of an event.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals(std::function<void()> onSignal, QObject* parent);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
    int fds_[2] = {-1, -1};
};

}  // namespace varnoset
