#include "gui/platform/application.h"
#include "gui/platform/guiservices.h"
#include "gui/shell/startup.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

int main(int argc, char* argv[]) {
    kq::Application app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("考勤管理系统"));
    // Dates, weekdays and Qt's own texts in Chinese whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Qt's own dialogs (file and font choosers) in Chinese when its translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    kq::InstallRealGuiServices();
    QWidget* first = kq::StartProgram();
    if (!first) return 1;
    first->setAttribute(Qt::WA_DeleteOnClose);
    first->show();
    return app.exec();
}
