#include "core/reports/csvexport.h"

#include "core/data/kqerror.h"
#include "core/platform/platform.h"

#include <QDir>

namespace kq {

namespace {

constexpr int kChunk = 64 * 1024;

QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

CsvWriter::CsvWriter(const QString& fileName) : m_fileName(fileName) {}

CsvWriter::~CsvWriter() {
    if (m_file) m_file->cancelWriting();
}

void CsvWriter::fail() {
    const QString why = m_file ? m_file->errorString() : QString();
    if (m_file) m_file->cancelWriting();
    m_file.reset();
    throw KqError(QStringLiteral("无法导出 %1：%2").arg(QDir::toNativeSeparators(m_fileName), why));
}

void CsvWriter::begin(const QStringList&, const QStringList& columns, const QList<CellKind>& kinds) {
    m_file = Services().saveFiles->create(m_fileName);
    // Unbuffered: a failing write shows at once and never inside commit() (see SaveWhole).
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail();
    m_kinds = kinds;
    m_pending = QByteArrayLiteral("\xEF\xBB\xBF");
    line(columns);
}

void CsvWriter::row(const QStringList& cells, const QList<int>&) {
    QStringList fields;
    for (int c = 0; c < cells.size(); ++c) {
        // Numbers and durations without the blanks that align them on the screen.
        const bool typed = c < m_kinds.size() && m_kinds.at(c) != CellKind::Text;
        fields << (typed ? cells.at(c).trimmed() : cells.at(c));
    }
    line(fields);
}

void CsvWriter::finish(const QStringList&) {
    flush();
    if (!m_file->commit()) fail();
    m_file.reset();
}

void CsvWriter::line(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields)
        out << Field(f);
    m_pending += out.join(QLatin1Char(',')).toUtf8() + "\r\n";
    if (m_pending.size() >= kChunk) flush();
}

void CsvWriter::flush() {
    for (qint64 done = 0; done < m_pending.size();) {
        const qint64 n = m_file->write(m_pending.constData() + done, m_pending.size() - done);
        if (n <= 0) fail();
        done += n;
    }
    m_pending.clear();
}

} // namespace kq
