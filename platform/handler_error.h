#pragma once

#include <QString>

#include <stdexcept>

namespace velmar {

// An error that ends the handler that raised it: the application object catches it, shows
// its message in the standard error dialog and the event loop goes on. Conversions of typed
// text raise it (ConversionError), and so does a widget property set to something it cannot
// hold.
class HandlerError : public std::runtime_error {
public:
    explicit HandlerError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// Shows an error that ended a handler or a routine in the application's standard error dialog:
// a HandlerError's message, or any other exception's text. Does not wait for the answer.
void reportHandlerError(const std::exception& error);

}  // namespace velmar
