#include "core/data/kqerror.h"
#include "gui/platform/application.h"
#include "support/fakes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

using namespace kq;

namespace {

// A window whose key handler fails the way a handler does when nothing catches a storage error.
class FailingWindow : public QWidget {
public:
    std::function<void()> fail;
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override {
        ++keys;
        if (fail) fail();
    }
};

// Qt is built without exceptions: unwinding through its frames skips their clean-up, and the
// weak reference that the delivery takes on the receiver is never released. That small leak is
// the known price of the last resort, so the leak checker is told to overlook it here.
struct QtFramesUnwound {
#ifdef __SANITIZE_ADDRESS__
    QtFramesUnwound() {
        __lsan_disable();
    }
    ~QtFramesUnwound() {
        __lsan_enable();
    }
#endif
};

bool SendKey(QWidget& w) {
    const QtFramesUnwound unwound;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    return DeliverGuarded([&] { return QApplication::sendEvent(&w, &press); });
}

} // namespace

TEST(LastResortBoundary, ShowsWhatEscapesAHandlerAndTheWindowGoesOn) {
    test::Fakes fakes;
    struct Case {
        std::function<void()> fail;
        QString shown;
    } cases[] = {
        {[] { throw KqError(QStringLiteral("字段不存在：EndTime")); }, QStringLiteral("字段不存在：EndTime")},
        {[] { throw std::runtime_error("disk full"); }, QStringLiteral("disk full")},
        {[] { throw 42; }, QStringLiteral("未知错误")},
    };
    FailingWindow w;
    for (const Case& c : cases) {
        fakes.prompter->boxes.clear();
        w.fail = c.fail;
        EXPECT_FALSE(SendKey(w));
        ASSERT_EQ(fakes.prompter->boxes.size(), 1);
        EXPECT_EQ(fakes.prompter->boxes[0].kind, "error");
        EXPECT_EQ(fakes.prompter->boxes[0].text, c.shown);
    }
    w.fail = nullptr;
    EXPECT_TRUE(SendKey(w));
    EXPECT_EQ(w.keys, 4);
}

TEST(LastResortBoundary, AFailureWhileItsMessageIsShownOpensNoFurtherBox) {
    test::Fakes fakes;
    FailingWindow w;
    w.fail = [] { throw KqError(QStringLiteral("repaint")); };
    // The message box runs its own event loop; the failing window fails again meanwhile.
    class NestingPrompter : public test::FakePrompter {
    public:
        QWidget* window = nullptr;
        void error(const QString& text) override {
            FakePrompter::error(text);
            SendKey(*window);
        }
    };
    auto nesting = std::make_unique<NestingPrompter>();
    NestingPrompter* prompter = nesting.get();
    prompter->window = &w;
    Services().prompter = std::move(nesting);
    EXPECT_FALSE(SendKey(w));
    EXPECT_EQ(prompter->texts(), QStringList({"repaint"}));
    EXPECT_EQ(w.keys, 2);
    EXPECT_FALSE(SendKey(w)); // once closed, the next failure is shown again
    EXPECT_EQ(prompter->texts().size(), 2);
}
