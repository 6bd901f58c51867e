// The choice of the data folder: the command line, then KAOQIN_DATA, then a writable Data folder
// beside the executable, then the per-user folder.
#include "core/data/datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

TEST(DataFolderChoice, FirstSourceThatGivesAFolderWins) {
    QTemporaryDir dir;
    const QString portable = dir.filePath("portable/bin");
    QDir().mkpath(portable + "/Data");
    const QString installed = dir.filePath("usr/bin"); // no Data folder beside the program
    QDir().mkpath(installed);
    const QString readOnly = dir.filePath("ro/bin");
    QDir().mkpath(readOnly + "/Data");
    QFile::setPermissions(readOnly + "/Data", QFile::ReadOwner | QFile::ExeOwner);
    const QString user = dir.filePath("home/.local/share/kaoqin/Data");

    struct Case {
        const char* what;
        QString option, environment, executableDir, expected;
    };
    const Case cases[] = {
        {"option over everything", dir.filePath("opt"), dir.filePath("env"), portable, dir.filePath("opt/")},
        {"variable over the folders", {}, dir.filePath("env"), portable, dir.filePath("env/")},
        {"writable folder beside the program", {}, {}, portable, portable + "/Data/"},
        {"installed layout", {}, {}, installed, user + "/"},
        {"trailing separator kept once", dir.filePath("opt/"), {}, installed, dir.filePath("opt/")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDataFolder({c.option, c.environment, c.executableDir, user}), c.expected) << c.what;
    // A Data folder the user cannot write to (a copy on read-only media, root's) is passed over.
    if (!QFileInfo(readOnly + "/Data").isWritable()) {
        EXPECT_EQ(ChooseDataFolder({{}, {}, readOnly, user}), user + "/");
    }
    QFile::setPermissions(readOnly + "/Data", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(DataFolderChoice, RelativeFolderBecomesAbsolute) {
    const QString chosen = ChooseDataFolder({QStringLiteral("some/Data"), {}, {}, {}});
    EXPECT_EQ(chosen, QDir::current().absoluteFilePath("some/Data") + "/");
}

TEST(DataFolderChoice, UserFolderFollowsXdgDataHome) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    EXPECT_EQ(UserDataFolder(), home.path() + "/kaoqin/Data/");
    qunsetenv("XDG_DATA_HOME");
}
