#include "app/VarnosetApplication.h"

#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>
#include <exception>

#include "app/MessageBoxes.h"

namespace varnoset {

namespace {

// Hints appear after 200 ms of hovering.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return 200;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

constexpr int kHintHidePause = 2000;

}  // namespace

VarnosetApplication::VarnosetApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The menu bar stays in the window, whose fixed form is laid out around it; asking the
    // session bus for a global menu would also hold up every start.
    setAttribute(Qt::AA_DontUseNativeMenuBar);
    setApplicationName(QStringLiteral("Varnoset"));
    // The name of the desktop entry: a Wayland compositor finds the program's icon and name
    // through it (the window's app id), as the X11 desktops do through the same hint.
    setDesktopFileName(QStringLiteral("varnoset"));
    // No display name: Qt would append it to every window title.
    setApplicationVersion(QStringLiteral("3.00"));
    setOrganizationName(QStringLiteral("Kestrane"));
    setQuitOnLastWindowClosed(false);
    setStyle(new HintStyle);  // the application takes ownership
}

bool VarnosetApplication::notify(QObject* receiver, QEvent* event) {
    try {
        // Hints hide again after two seconds.
        if (event->type() == QEvent::ToolTip && receiver->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(receiver);
            const QString tip = widget->toolTip();
            if (!tip.isEmpty()) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QToolTip::showText(help->globalPos(), tip, widget, {}, kHintHidePause);
                return true;
            }
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()), activeWindow());
    }
    return true;
}

}  // namespace varnoset
