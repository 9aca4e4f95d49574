#pragma once

#include <QObject>

#include "platform/Clipboard.h"
#include "platform/linux/QtClipboard.h"

class QMimeData;

namespace varnoset {

// The clipboard of a Wayland session. A compositor takes a client's selection only with the
// serial of a recent key or button event of that client, so a picture set before any input may
// reach no other program while Qt still reads its own copy back. The last picture set is kept
// here and read back from memory while this program still owns the clipboard; it is offered
// again at the first key or button press that follows, which the compositor then accepts.
class WaylandClipboard final : public QObject, public Clipboard {
    Q_OBJECT
public:
    WaylandClipboard();
    ~WaylandClipboard() override;

    void setPicture(const Picture& picture) override;
    bool hasPicture() const override;
    Picture picture() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownsKeptPicture() const;

    QtClipboard qt_;
    Picture kept_;
    const QMimeData* offered_ = nullptr;  // owned by QClipboard; compared, never read
    bool offerAfterInput_ = false;
};

}  // namespace varnoset
