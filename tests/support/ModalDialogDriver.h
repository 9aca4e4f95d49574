#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace varnoset::test {

// Acts on the first modal dialog of the given type that opens while it lives. It looks every
// 10 ms, so waits that run the event loop before the dialog opens do not fool it.
template <typename Dialog>
class ModalDialogDriver {
public:
    explicit ModalDialogDriver(std::function<void(Dialog&)> action) : action_(std::move(action)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                timer_.stop();
                seen_ = true;
                action_(*dialog);
            }
        });
        timer_.start(10);
    }

    bool seen() const { return seen_; }

private:
    QTimer timer_;
    std::function<void(Dialog&)> action_;
    bool seen_ = false;
};

}  // namespace varnoset::test
