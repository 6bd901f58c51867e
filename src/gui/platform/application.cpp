#include "gui/platform/application.h"

#include "core/data/kqerror.h"
#include "core/platform/platform.h"

#include <QScopedValueRollback>
#include <QThread>

namespace kq {

namespace {

void ShowEscaped(const QString& text) {
    static bool showing = false;
    if (showing) {
        qWarning("%s", qUtf8Printable(text));
        return;
    }
    const QScopedValueRollback<bool> guard(showing, true);
    Prompt().error(text);
}

void ReportEscaped(const QString& text) {
    if (QThread::currentThread() == qApp->thread())
        ShowEscaped(text);
    else
        QMetaObject::invokeMethod(
            qApp, [text] { ShowEscaped(text); }, Qt::QueuedConnection);
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    return DeliverGuarded([&] { return QApplication::notify(receiver, event); });
}

bool DeliverGuarded(const std::function<bool()>& deliver) {
    try {
        return deliver();
    } catch (const std::exception& e) {
        ReportEscaped(ErrorText(e));
    } catch (...) {
        ReportEscaped(QStringLiteral("未知错误"));
    }
    return false;
}

QFont StationFont() {
    QFont f(QStringLiteral("SimSun"));
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(12);
    return f;
}

} // namespace kq
