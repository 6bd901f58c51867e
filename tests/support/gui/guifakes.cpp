#include "support/gui/guifakes.h"

#include <gtest/gtest.h>

namespace kq::test {

namespace {
QString Take(std::deque<QString>& answers) {
    if (answers.empty()) return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
}
} // namespace

QString FakeFileDialogs::openFileName(QWidget*, const QString& caption, const QString&, const QString&) {
    captions << caption;
    return Take(openAnswers);
}

QString FakeFileDialogs::saveFileName(QWidget*, const QString& caption, const QString&, const QString&) {
    captions << caption;
    return Take(saveAnswers);
}

std::optional<QFont> FakeFileDialogs::chooseFont(QWidget*, const QFont&) {
    return font;
}

std::optional<QColor> FakeFileDialogs::chooseColor(QWidget*, const QColor&) {
    return color;
}

GuiFakes::GuiFakes() {
    auto f = std::make_unique<FakeFileDialogs>();
    auto d = std::make_unique<FakeDesktop>();
    files = f.get();
    desktop = d.get();
    GuiServices().files = std::move(f);
    GuiServices().desktop = std::move(d);
}

namespace {

std::unique_ptr<GuiFakes> current;

class FreshGuiFakes : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { current = std::make_unique<GuiFakes>(); }
};

} // namespace

GuiFakes& guiFakes() {
    return *current;
}

void InstallGuiFakesForEachTest() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshGuiFakes);
}

} // namespace kq::test
