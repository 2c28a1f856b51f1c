#include "controller/routines.h"

#include "platform/handler_error.h"

#include <algorithm>

namespace velmar {

void reportRoutineError(std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& thrown) {
        reportHandlerError(thrown);
    }
}

void Routines::launch(Task<void> task, std::function<void(std::exception_ptr)> ended)
{
    prune();
    running_.push_back(start(std::move(task), [ended = std::move(ended)](std::exception_ptr error) {
        // Told from inside the routine's last step: its frame is let go later (prune), never
        // from in here.
        if (ended)
            ended(error);
        else
            reportRoutineError(error);
    }));
}

void Routines::launch(Task<bool> command)
{
    launch([](Task<bool> sent) -> Task<void> { co_await std::move(sent); }(std::move(command)));
}

void Routines::prune()
{
    running_.remove_if([](const Started& routine) { return !routine.running(); });
}

bool Routines::idle() const
{
    return std::none_of(running_.begin(), running_.end(), [](const Started& routine) { return routine.running(); });
}

}  // namespace velmar
