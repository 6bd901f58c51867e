#pragma once

#include "core/data/kqerror.h"
#include "core/platform/platform.h"

namespace kq {

// Runs one operation of a window; a storage failure abandons it and shows the engine's message
// through the general error handler. Returns whether the operation ran to its end.
template <typename F> bool Guarded(F&& operation) {
    try {
        operation();
        return true;
    } catch (const KqError& e) {
        Prompt().error(e.message());
        return false;
    }
}

} // namespace kq
