#pragma once

#include "core/platform/platform.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

namespace kq::test {

// Records every box and answers questions from a script (Yes/OK when the script is empty).
class FakePrompter : public Prompter {
public:
    struct Box {
        QString kind; // "message", "ask", "confirm", "error"
        QString title;
        QString text;
        Icon icon = Icon::Information;
    };
    void message(const QString& title, const QString& text, Icon icon) override;
    bool ask(const QString& title, const QString& text) override;
    bool confirm(const QString& title, const QString& text) override;
    void error(const QString& text) override;

    QList<Box> boxes;
    std::deque<bool> answers;
    QStringList texts() const;
    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2024, 3, 7), QTime(9, 0, 0));
};

class FakeSpeaker : public Speaker {
public:
    void beep(int frequencyHz, int durationMs) override { tones.append({frequencyHz, durationMs}); }
    QList<QPair<int, int>> tones;
};

// System services over a temporary folder; records commands and clock settings.
class FakeSystemServices : public SystemServices {
public:
    QString systemFolder() const override { return folder; }
    QString windowsVersion() const override { return version; }
    QString userName() const override { return user; }
    bool runHidden(const QString& command, int timeoutMs) override;
    void sleep(int ms) override { slept.append(ms); }
    bool rename(const QString& from, const QString& to) override;
    bool setLocalTime(const QDateTime& dateTime) override;

    QString folder;
    QString version = QStringLiteral("Unknown");
    QString user = QStringLiteral("tester");
    QStringList commands;
    QList<int> slept;
    QList<QDateTime> timesSet;
    bool setTimeSucceeds = true;
    // Called for each command, so a test can play the tool (write the exported template, say).
    std::function<bool(const QString&)> onCommand;
};

// A save file that fails after its budget of bytes: a full disk or a failing device under the
// dataset writer. Nothing reaches the target file.
class FailingSaveFile : public QSaveFile {
public:
    FailingSaveFile(const QString& path, qint64 budget) : QSaveFile(path), m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 len) override;

private:
    qint64 m_budget;
};

// Real save files until failAfter is set; then each file fails after that many bytes.
class FakeSaveFiles : public SaveFiles {
public:
    std::unique_ptr<QSaveFile> create(const QString& path) override;
    std::optional<qint64> failAfter;
};

// Installs fresh fakes into Services(); the accessors return them.
struct Fakes {
    Fakes();
    FakePrompter* prompter;
    FakeClock* clock;
    FakeSpeaker* speaker;
    FakeSystemServices* system;
    FakeSaveFiles* saveFiles;
};

} // namespace kq::test
