#pragma once

#include <exception>
#include <utility>

#include "common/prompts.h"

namespace quillmere {

// Shows an error that ended a handler in the standard error box.
void showHandlerError(Prompts& prompts, const std::exception& error);

// Runs an event handler so that no error escapes into Qt: an error ends
// the handler and is shown in the standard error box; the program goes on.
// Returns false when the handler ended with an error.
template <typename Handler>
bool runGuarded(Prompts& prompts, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception& error) {
        showHandlerError(prompts, error);
    }
    return false;
}

}  // namespace quillmere
