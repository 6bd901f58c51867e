#pragma once

#include <QElapsedTimer>
#include <QTextStream>

namespace kq::cli {

// One updating line of progress on stderr ("  42 %   12.3 MB/s"), written only when stderr is a
// terminal and not silenced; at most ten times a second.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, bool quiet);
    ~ProgressLine();
    void update(int percent, qint64 bytesDone);

private:
    QTextStream& m_err;
    bool m_shown;
    bool m_written = false;
    QElapsedTimer m_clock;
    qint64 m_lastShown = -1;
    int m_lastPercent = -1;
};

} // namespace kq::cli
