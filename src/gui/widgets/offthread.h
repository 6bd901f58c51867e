#pragma once

#include <functional>

class QObject;

namespace kq {

// Runs work on a thread of its own while this (the application's) thread goes on handling events,
// so the windows stay responsive and can show the progress work sends them. Returns when work has
// ended and the events it posted to receiver have been delivered; passes on its exception.
void RunOffThread(const std::function<void()>& work, QObject* receiver);

} // namespace kq
