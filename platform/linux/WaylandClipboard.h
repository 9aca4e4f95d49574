#pragma once

#include <QMimeData>
#include <QObject>
#include <QPointer>

#include "platform/Clipboard.h"
#include "platform/linux/QtClipboard.h"

namespace varnoset {

// The clipboard of a Wayland session. A compositor takes a client's selection only with the
// serial of a recent key or button event of that client, so a picture set before any input may
// reach no other program while Qt still reads its own copy back. The last picture set is kept
// here and read back from memory while no other program has offered anything since; it is
// offered again at the first key or button press that follows, and at every one while the
// compositor keeps refusing it (GNOME does without the keyboard focus).
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
    void offer(const Picture& picture);
    bool ownsKeptPicture() const;

    QtClipboard qt_;
    Picture kept_;
    // Owned by QClipboard; compared, never read: what was offered, and what the clipboard held
    // before it (another program's offer, or nothing). Guarded, so that another program's later
    // offer made at a freed one's address is never taken for it.
    QPointer<const QMimeData> offered_;
    QPointer<const QMimeData> before_;
    bool offerAfterInput_ = false;
};

}  // namespace varnoset
