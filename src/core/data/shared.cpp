#include "core/data/shared.h"

#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/data/gbk.h"
#include "core/data/kqerror.h"

#include <QSettings>
#include <cmath>
#include <memory>

namespace kq {

QString SqlDateText(const QDateTime& dateTime) {
    return SqlDateText(dateTime.date());
}

QString SqlDateText(const QDate& date) {
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

void AddWorkRow(const QString& dateText, const QString& name) {
    const QDate date = QDate::fromString(dateText, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) throw KqError(QStringLiteral("“%1”不是有效的日期").arg(dateText));
    // A row another station added meanwhile (the server's unique key on name and date) stays.
    ExecSql(QStringLiteral("insert into WorkList (DDate,Name) values (?,?) on conflict do nothing"),
            {DateText(date), name});
}

bool IsPunch(const QTime& time) {
    return time.isValid() && time != QTime(0, 0);
}

double SecondsBetween(const QTime& from, const QTime& to) {
    const double day = 86400000.0;
    double ms = double(to.msecsSinceStartOfDay()) - double(from.msecsSinceStartOfDay());
    if (ms < 0) ms += day;
    return ms / 1000.0;
}

QString DurationText(double seconds) {
    const qint64 total = qint64(std::nearbyint(seconds)); // the default rounding mode: half to even
    const qint64 h = total / 3600, m = (total / 60) % 60, s = total % 60;
    return QString::asprintf("%3lld:%2.2lld:%2.2lld", static_cast<long long>(h), static_cast<long long>(m),
                             static_cast<long long>(s));
}

QString PadText(const QString& text, int width, QChar fill) {
    const int n = std::abs(width);
    QString out = GbkCut(text, n);
    const int fillWidth = GbkWidth(QString(fill));
    int w = GbkWidth(out);
    QString pad;
    while (w + fillWidth <= n) {
        pad += fill;
        w += fillWidth;
    }
    return width < 0 ? pad + out : out + pad;
}

namespace {

const QString kOperatorKey = QStringLiteral("SOFTWARE/Venmar/Operator/Operator");

std::unique_ptr<QSettings> OperatorStore() {
#ifdef _WIN32
    return std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Venmar\\Operator"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Venmar"),
                                       QStringLiteral("kaoqin"));
#endif
}

QString OperatorValueName() {
#ifdef _WIN32
    return QStringLiteral("Operator");
#else
    return kOperatorKey;
#endif
}

} // namespace

void SaveLastOperator(const QString& name) {
    auto store = OperatorStore();
    store->setValue(OperatorValueName(), name);
    store->sync();
    if (store->status() != QSettings::NoError)
        throw KqError(QStringLiteral("无法保存操作员名称到 %1").arg(store->fileName()));
}

QString LoadLastOperator() {
    return OperatorStore()->value(OperatorValueName()).toString();
}

bool IsEditing(const DataSet* ds) {
    return ds && ds->isEditing();
}

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString TimeText(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm:ss"));
}

QString CaptionDateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy年MM月dd日"));
}

} // namespace kq
