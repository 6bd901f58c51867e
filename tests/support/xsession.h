#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kq::test {

// Stops a started process when the test ends, however it ends.
struct Child {
    QProcess process;
    ~Child();
};

// A virtual X server (Xvfb) for the tests of the real program, optionally with a window manager
// (openbox), and the X tools that look at its windows.
class XSession {
public:
    // Starts Xvfb with one screen of the given size; display() stays empty when that fails.
    explicit XSession(const QString& screen = QStringLiteral("1024x768x24"));
    // Starts openbox on the display and waits until it manages windows; false when it cannot.
    bool startWindowManager();

    QString display() const { return m_display; }
    QString startError() const { return m_error; }
    // The environment of a program shown on this display.
    QProcessEnvironment environment() const;
    // Starts program on this display with home as its HOME and settings folder, its error output
    // passed through to the test's.
    void start(Child& child, const QString& program, const QStringList& args, const QString& home) const;

    // Runs an X tool (xdotool, xprop ...) on the display; its exit code, -1 when it hung.
    int run(const QString& tool, const QStringList& args, QString* out = nullptr) const;
    // The first visible window whose class (or, with byName, whose title) matches pattern, waiting
    // up to timeoutMs; empty when none appears.
    QString waitForWindow(const QString& pattern, bool byName = false, int timeoutMs = 20000) const;
    // The title the window manager receives: the window's _NET_WM_NAME and WM_NAME.
    QStringList titles(const QString& window) const;

private:
    Child m_xvfb;
    Child m_wm;
    QString m_display;
    QString m_error;
};

} // namespace kq::test
