#include "cli/progressline.h"

#include <QString>
#include <cstdio>
#include <unistd.h>

namespace kq::cli {

ProgressLine::ProgressLine(QTextStream& err, bool quiet)
    : m_err(err), m_shown(!quiet && isatty(fileno(stderr))) {
    m_clock.start();
}

ProgressLine::~ProgressLine() {
    if (m_written) m_err << Qt::endl; // the next message starts on a line of its own
}

void ProgressLine::update(int percent, qint64 bytesDone) {
    if (!m_shown) return;
    const qint64 now = m_clock.elapsed();
    const bool finalLine = percent >= 100 && m_lastPercent < 100;
    if (m_lastShown >= 0 && now - m_lastShown < 100 && !finalLine) return;
    if (percent >= 100 && !finalLine) return;
    m_lastShown = now;
    m_lastPercent = percent;
    const double seconds = qMax<qint64>(now, 1) / 1000.0;
    m_err << '\r' << QString::asprintf("%3d %%  %7.1f MB/s", percent, bytesDone / 1e6 / seconds);
    m_err.flush();
    m_written = true;
}

} // namespace kq::cli
