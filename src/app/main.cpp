#include "platform/guiservices.h"
#include "shell/startup.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("考勤管理系统"));
    kq::InstallRealGuiServices();
    QWidget* first = kq::StartProgram();
    if (!first) return 1;
    first->setAttribute(Qt::WA_DeleteOnClose);
    first->show();
    return app.exec();
}
