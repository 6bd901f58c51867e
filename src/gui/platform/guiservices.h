#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace kq {

// Standard open, save, font and colour dialogs.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
};

// Opening a document with the application associated with its type, and where the user manual is.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openFile(const QString& path) = 0;
    // The first page of the HTML manual; empty when none is installed.
    virtual QString manualIndex() = 0;
};

// The HTML manual of a program in executableDir: installed (share/kaoqin/manual beside the
// bin folder, also the build folder's layout) or portable (manual/ beside the program). Empty
// when neither exists.
QString FindManual(const QString& executableDir);

struct GuiServicesSet {
    std::unique_ptr<FileDialogs> files;
    std::unique_ptr<Desktop> desktop;
};

// Set to the real implementations by the program and to fakes by tests.
GuiServicesSet& GuiServices();

// Opens a file the program has just written with its associated application; when none opens it,
// says where the file was written.
void OpenWrittenFile(const QString& path);

// Installs the real message boxes, dialogs and desktop (and the core's real services).
void InstallRealGuiServices();

} // namespace kq
