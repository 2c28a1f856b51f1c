#pragma once

#include <QApplication>

namespace velmar {

// The application object. A runtime error raised by a handler ends that handler only: it is
// shown in the standard error dialog and the event loop goes on.
class VelmarApplication : public QApplication {
    Q_OBJECT
public:
    VelmarApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace velmar
