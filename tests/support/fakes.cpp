#include "support/fakes.h"

#include <QFile>

namespace kq::test {

void FakePrompter::message(const QString& title, const QString& text, Icon icon) {
    boxes.append({QStringLiteral("message"), title, text, icon});
}

bool FakePrompter::ask(const QString& title, const QString& text) {
    boxes.append({QStringLiteral("ask"), title, text, Icon::Question});
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

bool FakePrompter::confirm(const QString& title, const QString& text) {
    boxes.append({QStringLiteral("confirm"), title, text, Icon::Information});
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

void FakePrompter::error(const QString& text) {
    boxes.append({QStringLiteral("error"), QString(), text, Icon::Error});
}

QStringList FakePrompter::texts() const {
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}

bool FakeSystemServices::runHidden(const QString& command, int) {
    commands.append(command);
    return onCommand ? onCommand(command) : true;
}

bool FakeSystemServices::rename(const QString& from, const QString& to) {
    return QFile::rename(from, to);
}

bool FakeSystemServices::setLocalTime(const QDateTime& dateTime) {
    timesSet.append(dateTime);
    return setTimeSucceeds;
}

qint64 FailingSaveFile::writeData(const char* data, qint64 len) {
    if (m_budget <= 0) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    const qint64 written = QSaveFile::writeData(data, qMin(len, m_budget));
    if (written > 0) m_budget -= written;
    return written;
}

std::unique_ptr<QSaveFile> FakeSaveFiles::create(const QString& path) {
    if (failAfter) return std::make_unique<FailingSaveFile>(path, *failAfter);
    return SaveFiles::create(path);
}

Fakes::Fakes() {
    auto p = std::make_unique<FakePrompter>();
    auto c = std::make_unique<FakeClock>();
    auto s = std::make_unique<FakeSpeaker>();
    auto y = std::make_unique<FakeSystemServices>();
    auto v = std::make_unique<FakeSaveFiles>();
    prompter = p.get();
    clock = c.get();
    speaker = s.get();
    system = y.get();
    saveFiles = v.get();
    Services().prompter = std::move(p);
    Services().clock = std::move(c);
    Services().speaker = std::move(s);
    Services().system = std::move(y);
    Services().saveFiles = std::move(v);
}

} // namespace kq::test
