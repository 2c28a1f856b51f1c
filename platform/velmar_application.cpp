#include "platform/velmar_application.h"
#include "platform/dialogs.h"

#include "platform/handler_error.h"
#include "platform/platform_services.h"

namespace velmar {

VelmarApplication::VelmarApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VelmarApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const HandlerError& error) {
        openDialog(DialogKind::ApplicationError, error.message());
    } catch (const std::exception& error) {
        openDialog(DialogKind::ApplicationError, QString::fromUtf8(error.what()));
    }
    return false;
}

}  // namespace velmar
