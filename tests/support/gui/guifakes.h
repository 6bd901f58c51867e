#pragma once

#include "gui/platform/guiservices.h"

#include <QStringList>
#include <deque>
#include <optional>

namespace kq::test {

class FakeFileDialogs : public FileDialogs {
public:
    QString openFileName(QWidget*, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString saveFileName(QWidget*, const QString& caption, const QString& dir,
                         const QString& filter) override;
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override;
    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override;
    // Next answers; empty text means cancel.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::optional<QFont> font;
    std::optional<QColor> color;
    QStringList captions;
};

class FakeDesktop : public Desktop {
public:
    bool openFile(const QString& path) override {
        opened.append(path);
        return opens;
    }
    QString manualIndex() override { return manual; }
    QStringList opened;
    bool opens = true; // false: no application is associated with the file
    QString manual;    // the installed manual's first page; none by default
};

// The window tests' dialogs and desktop, installed fresh into GuiServices() before each test by
// the window tests' main, so that no real dialog ever opens under a test.
struct GuiFakes {
    GuiFakes();
    FakeFileDialogs* files;
    FakeDesktop* desktop;
};

// The fakes of the running test.
GuiFakes& guiFakes();
void InstallGuiFakesForEachTest();

} // namespace kq::test
