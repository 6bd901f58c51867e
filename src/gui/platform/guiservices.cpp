#include "gui/platform/guiservices.h"

#include "core/platform/platform.h"
#include "gui/platform/messageboxprompter.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QUrl>

namespace kq {

namespace {

class QtFileDialogs : public FileDialogs {
public:
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        if (!ok) return std::nullopt;
        return f;
    }
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid()) return std::nullopt;
        return c;
    }
};

class QtDesktop : public Desktop {
public:
    bool openFile(const QString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    QString manualIndex() override { return FindManual(QCoreApplication::applicationDirPath()); }
};

} // namespace

GuiServicesSet& GuiServices() {
    static GuiServicesSet services;
    return services;
}

QString FindManual(const QString& executableDir) {
    const QDir bin(executableDir);
    for (const QString& candidate :
         {QStringLiteral(KQ_BIN_TO_DATA "/kaoqin/manual/index.html"), QStringLiteral("manual/index.html")}) {
        const QString path = QDir::cleanPath(bin.absoluteFilePath(candidate));
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

void OpenWrittenFile(const QString& path) {
    if (GuiServices().desktop->openFile(path)) return;
    Prompt().message(
        QStringLiteral("提示"),
        QStringLiteral("文件已写入：%1\n系统中没有能打开它的程序。").arg(QDir::toNativeSeparators(path)));
}

void InstallRealGuiServices() {
    Services().prompter = std::make_unique<MessageBoxPrompter>();
    GuiServices().files = std::make_unique<QtFileDialogs>();
    GuiServices().desktop = std::make_unique<QtDesktop>();
}

} // namespace kq
