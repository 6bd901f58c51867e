#include "cli/clicommand.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/setup/shiftrules.h"

#include <QRegularExpression>

namespace kq::cli {

namespace {

QTime TimeArg(const QString& text, const char* what) {
    const QTime t = ParseTimeText(text);
    if (!t.isValid())
        throw UsageError(
            QStringLiteral("%1 must be a time hh:nn:ss, not \"%2\"").arg(QLatin1String(what), text));
    return t;
}

int GraceArg(Args& args, const QString& name) {
    const int minutes = args.intOption(name, 0);
    if (minutes < 0 || minutes > kMaxGraceMinutes)
        throw UsageError(QStringLiteral("%1 takes minutes from 0 to %2").arg(name).arg(kMaxGraceMinutes));
    return minutes;
}

int Add(Args& args, Context& ctx) {
    const int lateGrace = GraceArg(args, QStringLiteral("--late-grace"));
    const int earlyGrace = GraceArg(args, QStringLiteral("--early-grace"));
    const bool late = args.flag(QStringLiteral("--late"));
    const bool early = args.flag(QStringLiteral("--early"));
    const bool accumulate = args.flag(QStringLiteral("--accumulate"));
    const QStringList words = args.rest();
    if (words.size() != 3) throw UsageError(QStringLiteral("shift add needs NAME BEGIN END"));
    const QTime begin = TimeArg(words.at(1), "BEGIN");
    const QTime end = TimeArg(words.at(2), "END");

    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
    ds.addFields(ShiftGraceFields());
    ds.update([&] {
        const ShiftCheck check =
            CheckShiftPost(words.at(0), words.at(1), words.at(2), true, ds.recordCount());
        if (!check.message.isEmpty()) throw KqError(check.message);
        AppendShift(ds);
        StoreShift(ds, {words.at(0), begin, end, late, early, accumulate, lateGrace, earlyGrace});
    });
    ds.close();
    return 0;
}

int Delete(Args& args, Context& ctx) {
    const QStringList words = args.rest();
    static const QRegularExpression whole(QStringLiteral("^\\d{1,9}$"));
    if (words.size() != 1 || !whole.match(words.at(0)).hasMatch())
        throw UsageError(QStringLiteral("shift delete needs the SerialNo of the shift"));
    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
    ds.update([&] {
        if (!ds.locate(schema::ShiftTime::SerialNo, {words.at(0).toInt()}))
            throw KqError(QStringLiteral("没有序号为 %1 的班时").arg(words.at(0)));
        ds.remove();
        RenumberShifts(ds);
    });
    ds.close();
    return 0;
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after shift list"));
    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
    ds.addFields(ShiftGraceFields());
    // The grace columns are listed once a shift has a grace, so lists without one stay as they were.
    bool graced = false;
    for (ds.first(); !ds.eof(); ds.next())
        graced = graced || ds.asInt(schema::ShiftTime::LateGrace) || ds.asInt(schema::ShiftTime::EarlyGrace);
    ctx.out << "SerialNo\tShiftName\tBeginTime\tEndTime\tCheckBegin\tCheckEnd\tIsCalculate"
            << (graced ? "\tLateGrace\tEarlyGrace\n" : "\n");
    const auto yes = [&](const QString& f) { return ds.asBool(f) ? "1" : "0"; };
    for (ds.first(); !ds.eof(); ds.next()) {
        ctx.out << ds.asInt(schema::ShiftTime::SerialNo) << '\t' << ds.asString(schema::ShiftTime::ShiftName)
                << '\t' << ds.asString(schema::ShiftTime::BeginTime) << '\t'
                << ds.asString(schema::ShiftTime::EndTime) << '\t' << yes(schema::ShiftTime::CheckBegin)
                << '\t' << yes(schema::ShiftTime::CheckEnd) << '\t' << yes(schema::ShiftTime::IsCalculate);
        if (graced)
            ctx.out << '\t' << ds.asInt(schema::ShiftTime::LateGrace) << '\t'
                    << ds.asInt(schema::ShiftTime::EarlyGrace);
        ctx.out << '\n';
    }
    ds.close();
    return 0;
}

int RunShift(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("add")) return Add(args, ctx);
    if (sub == QLatin1String("list")) return List(args, ctx);
    if (sub == QLatin1String("delete")) return Delete(args, ctx);
    throw UsageError(QStringLiteral("shift needs add, list or delete"));
}

const Registrar
    reg({QStringLiteral("shift"),
         {QStringLiteral("shift add NAME BEGIN END [--late] [--early] [--accumulate] [--late-grace N] "
                         "[--early-grace N]"),
          QStringLiteral("shift list"), QStringLiteral("shift delete SERIALNO")},
         QStringLiteral("Add (times hh:nn:ss), list or delete shifts (the rest are renumbered)."),
         {{QStringLiteral("late"), {}, QStringLiteral("mark late arrivals")},
          {QStringLiteral("early"), {}, QStringLiteral("mark early departures")},
          {QStringLiteral("accumulate"), {}, QStringLiteral("add up the worked time")},
          {QStringLiteral("late-grace"), QStringLiteral("N"),
           QStringLiteral("minutes after the begin that are not yet late (default 0)")},
          {QStringLiteral("early-grace"), QStringLiteral("N"),
           QStringLiteral("minutes before the end that are not yet early (default 0)")}}},
        RunShift);

} // namespace

} // namespace kq::cli
