#include "gui/widgets/offthread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace kq {

void RunOffThread(const std::function<void()>& work, QObject* receiver) {
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    // Progress sent just before the end is shown before the caller goes on.
    QCoreApplication::sendPostedEvents(receiver);
    if (failure) std::rethrow_exception(failure);
}

} // namespace kq
