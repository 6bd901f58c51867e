#pragma once

#include "core/punch/punchrecorder.h"
#include "gui/widgets/childteardown.h"

#include <QDateTime>
#include <QRect>
#include <QWidget>

class QLabel;
class QTimer;

namespace kq {

// The punch screen's answer to a swipe in large type, for a few seconds: the name (or an unknown
// card's number) over the time and slot or the refusal, white on green for a stored punch and on
// red for a refusal. A frameless window above the screen's controls that takes neither the
// keyboard nor the mouse, so the next swipe still reaches the card field.
class PunchBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShownSeconds = 4;

    explicit PunchBanner(QWidget* station);

    // Shows answer until kShownSeconds after now, above the rectangle controls (global
    // coordinates) on its screen.
    void showAnswer(const PunchAnswer& answer, const QDateTime& now, const QRect& controls);
    bool stored() const { return m_stored; }
    QDateTime until() const { return m_until; }

    // Where the banner goes on screen: centred across it, its bottom just above controls, never
    // above the screen's top; as wide as four fifths of the screen, height high.
    static QRect Placement(const QRect& screen, const QRect& controls, int height);
    // Pixel sizes of the two lines on a screen of that height.
    static int FirstLineSize(int screenHeight);
    static int SecondLineSize(int screenHeight);

private:
    // The tick of the banner's timer: hides it once the clock has reached its end.
    void BannerTimerTimer();

    QLabel* m_labFirst = nullptr;
    QLabel* m_labSecond = nullptr;
    QTimer* m_bannerTimer = nullptr;
    QDateTime m_until;
    bool m_stored = false;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
