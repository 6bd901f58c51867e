#pragma once

#include "core/data/kqerror.h"
#include "core/platform/platform.h"

#include <QObject>

#include <functional>

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

// Connects signal to a handler of receiver taking no arguments, run inside Guarded, so a failure
// in any handler reached from a control shows its message instead of ending the program.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver, Handler handler) {
    return QObject::connect(sender, signal, receiver,
                            [receiver, handler] { Guarded([&] { std::invoke(handler, receiver); }); });
}

} // namespace kq
