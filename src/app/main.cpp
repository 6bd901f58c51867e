#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/platform/platform.h"
#include "gui/platform/application.h"
#include "gui/platform/guiservices.h"
#include "gui/shell/startup.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>
#include <cstdio>

namespace {

// The command line is read before the window system is contacted, so that --help and
// --version also answer where no display is available.
struct Options {
    QString dataFolder;
    QString database;
    int exitCode = -1; // set when the program ends at once
};

Options ReadOptions(int argc, char* argv[]) {
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("考勤管理系统: punch screen and attendance records.\n"
                                                    "Data folder: --data DIR, else $KAOQIN_DATA, else a "
                                                    "Data folder beside the program, else "
                                                    "$XDG_DATA_HOME/kaoqin/Data.\n"
                                                    "Records: SQLite files in the data folder, or the "
                                                    "PostgreSQL server of --database, else "
                                                    "$KAOQIN_DATABASE, else the one the data folder names "
                                                    "(kaoqin-cli init --database URL)."));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Use DIR as the data folder."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Keep the records on the PostgreSQL server URL (postgresql://user@host:port/dbname)."),
        QStringLiteral("URL"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    parser.addOptions({data, database, help, version});
    // Without an application object the parser cannot name the program.
    const QString helpText =
        parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kaoqin"));
    Options options;
    if (!parser.parse(words) || !parser.positionalArguments().isEmpty()) {
        const QString error =
            parser.errorText().isEmpty()
                ? QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first())
                : parser.errorText();
        std::fprintf(stderr, "kaoqin: %s\n%s", qUtf8Printable(error), qUtf8Printable(helpText));
        options.exitCode = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qUtf8Printable(helpText), stdout);
        options.exitCode = 0;
    } else if (parser.isSet(version)) {
        std::printf("kaoqin %s\n", KQ_VERSION);
        options.exitCode = 0;
    }
    options.dataFolder = parser.value(data);
    options.database = parser.value(database);
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    const Options options = ReadOptions(argc, argv);
    if (options.exitCode >= 0) return options.exitCode;
    kq::Application app(argc, argv);
    // No application display name: Qt would append it to every window's caption.
    QApplication::setApplicationVersion(QStringLiteral(KQ_VERSION));
    // The installed desktop entry's name, so that a desktop matches the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("kaoqin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/gui/kaoqin.png")));
    // Dates, weekdays and Qt's own texts in Chinese whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Qt's own dialogs (file and font choosers) in Chinese when its translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    kq::InstallRealGuiServices();
    kq::ComputeDataFolder(options.dataFolder);
    try {
        kq::ComputeEngine(options.database, kq::DataFolder());
    } catch (const kq::KqError& e) {
        kq::Prompt().error(e.message());
        return 1;
    }
    QWidget* first = kq::StartProgram();
    if (!first) return 1;
    first->setAttribute(Qt::WA_DeleteOnClose);
    first->show();
    const int code = app.exec();
    // Before the statics go: the connection's prepared statements with it.
    kq::CloseKQDataBase();
    return code;
}
