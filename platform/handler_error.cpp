#include "platform/handler_error.h"

#include "platform/dialogs.h"

namespace velmar {

void reportHandlerError(const std::exception& error)
{
    const auto* handlerError = dynamic_cast<const HandlerError*>(&error);
    openDialog(DialogKind::ApplicationError,
               handlerError ? handlerError->message() : QString::fromUtf8(error.what()));
}

}  // namespace velmar
