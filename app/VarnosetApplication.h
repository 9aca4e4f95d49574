#pragma once

#include <QApplication>

namespace varnoset {

// The application object. Every event passes through notify(), so this is the one place where
// an error that escapes a handler is caught and shown in the standard error box; the program
// then carries on with the next event.
class VarnosetApplication : public QApplication {
    Q_OBJECT
public:
    VarnosetApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace varnoset
