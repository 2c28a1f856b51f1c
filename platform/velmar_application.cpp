#include "platform/velmar_application.h"

#include "platform/handler_error.h"

namespace velmar {

VelmarApplication::VelmarApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VelmarApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportHandlerError(error);
    }
    return false;
}

}  // namespace velmar
