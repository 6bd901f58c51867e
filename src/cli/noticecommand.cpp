#include "cli/clicommand.h"

#include "core/data/kqerror.h"
#include "core/maintenance/informtable.h"
#include "core/maintenance/rtf.h"

#include <QDate>
#include <QFile>

namespace kq::cli {

namespace {

int Add(Args& args, Context& ctx) {
    const QString rtfFile = args.option(QStringLiteral("--rtf"));
    const QStringList words = args.rest();
    if (words.size() != (rtfFile.isEmpty() ? 2 : 1))
        throw UsageError(QStringLiteral("notice add needs DATE and either TEXT or --rtf FILE"));
    if (!QDate::fromString(words.at(0), QStringLiteral("yyyy-M-d")).isValid())
        throw UsageError(QStringLiteral("DATE must be a day yyyy-mm-dd, not \"%1\"").arg(words.at(0)));
    RtfDocument document;
    if (rtfFile.isEmpty()) {
        document = PlainDocument(words.at(1));
    } else {
        QFile file(rtfFile);
        if (!file.open(QIODevice::ReadOnly))
            throw KqError(QStringLiteral("cannot read %1: %2").arg(rtfFile, file.errorString()));
        document = ReadRtf(file.readAll());
    }

    OpenData(ctx);
    InformTable table;
    table.open();
    table.append();
    table.setDate(words.at(0));
    table.setText(WriteRtf(document));
    table.post();
    return 0;
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after notice list"));
    OpenData(ctx);
    InformTable table;
    table.open();
    ctx.out << "WDate\tInform\n";
    for (int row = 0; row < table.recordCount(); ++row) {
        table.moveTo(row);
        const QString stored = table.text();
        QString text = LooksLikeRtf(stored) ? PlainText(ReadRtf(stored)) : stored;
        text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\t'), QLatin1Char(' '));
        ctx.out << table.date() << '\t' << text << '\n';
    }
    return 0;
}

int RunNotice(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("add")) return Add(args, ctx);
    if (sub == QLatin1String("list")) return List(args, ctx);
    throw UsageError(QStringLiteral("notice needs add or list"));
}

const Registrar
    reg({QStringLiteral("notice"),
         {QStringLiteral("notice add DATE (TEXT | --rtf FILE)"), QStringLiteral("notice list")},
         QStringLiteral("Post a notice for a day (yyyy-mm-dd), or list the notices."),
         {{QStringLiteral("rtf"), QStringLiteral("FILE"), QStringLiteral("the notice's text as RTF")}}},
        RunNotice);

} // namespace

} // namespace kq::cli
