#include "gui/punch/punchbanner.h"

#include "core/platform/platform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace kq {

namespace {

constexpr int kGap = 8; // between the banner and the controls, and from the screen's top

} // namespace

PunchBanner::PunchBanner(QWidget* station)
    : QWidget(station, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setObjectName(QStringLiteral("PunchBanner"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    m_labFirst = new QLabel(this);
    m_labFirst->setObjectName(QStringLiteral("LabFirst"));
    m_labSecond = new QLabel(this);
    m_labSecond->setObjectName(QStringLiteral("LabSecond"));
    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {m_labFirst, m_labSecond}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText); // a card's number is shown as read, never as markup
        label->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(label);
    }
    m_bannerTimer = new QTimer(this);
    m_bannerTimer->setObjectName(QStringLiteral("BannerTimer"));
    m_bannerTimer->setInterval(250);
    connect(m_bannerTimer, &QTimer::timeout, this, &PunchBanner::BannerTimerTimer);
}

int PunchBanner::FirstLineSize(int screenHeight) {
    return qMax(48, screenHeight / 10);
}

int PunchBanner::SecondLineSize(int screenHeight) {
    return qMax(32, screenHeight / 16);
}

QRect PunchBanner::Placement(const QRect& screen, const QRect& controls, int height) {
    const int width = screen.width() * 4 / 5;
    const int top = qMax(screen.top() + kGap, controls.top() - kGap - height);
    return {screen.left() + (screen.width() - width) / 2, top, width, height};
}

void PunchBanner::showAnswer(const PunchAnswer& answer, const QDateTime& now, const QRect& controls) {
    m_stored = answer.stored;
    m_until = now.addSecs(kShownSeconds);
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
    QFont first = font();
    first.setBold(true);
    first.setPixelSize(FirstLineSize(area.height()));
    QFont second = first;
    second.setPixelSize(SecondLineSize(area.height()));
    m_labFirst->setFont(first);
    m_labSecond->setFont(second);
    m_labFirst->setText(answer.first);
    m_labSecond->setText(answer.second);
    const QColor background = answer.stored ? QColor(0, 150, 0) : QColor(210, 0, 0);
    setStyleSheet(QStringLiteral("#PunchBanner { background-color: %1; } QLabel { color: white; }")
                      .arg(background.name()));
    const int height = first.pixelSize() * 3 / 2 + second.pixelSize() * 3 / 2 + 3 * kGap;
    setGeometry(Placement(area, controls, height));
    show();
    raise();
    m_bannerTimer->start();
}

void PunchBanner::BannerTimerTimer() {
    if (Now() < m_until) return;
    m_bannerTimer->stop();
    hide();
}

} // namespace kq
