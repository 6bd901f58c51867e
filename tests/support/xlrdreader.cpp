#include "support/xlrdreader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace kq::test {

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");

// Dumps the first sheet; the page footers come from a walk over the records of the workbook
// stream as xlrd's own compound-file reader returns it.
const char* const DumpScript = R"(
import json, os, struct, sys, xlrd
from xlrd import compdoc
path = sys.argv[1]
book = xlrd.open_workbook(path, formatting_info=True, logfile=sys.stderr)
sh = book.sheet_by_index(0)
bold = [[c, r] for r in range(sh.nrows) for c in range(sh.ncols)
        if sh.cell_type(r, c) != xlrd.XL_CELL_EMPTY
        and book.font_list[book.xf_list[sh.cell_xf_index(r, c)].font_index].bold]
with open(path, 'rb') as f:
    stream = compdoc.CompDoc(f.read(), logfile=sys.stderr).get_named_stream('Workbook')
footers, pos = [], 0
while pos + 4 <= len(stream):
    kind, size = struct.unpack_from('<HH', stream, pos)
    body = stream[pos + 4:pos + 4 + size]
    if kind == 0x15 and size:
        count, wide = struct.unpack_from('<HB', body)
        footers.append(body[3:3 + count * 2].decode('utf-16-le') if wide & 1 else body[3:3 + count].decode('latin-1'))
    pos += 4 + size
def xf(r, c): return book.xf_list[sh.cell_xf_index(r, c)]
red = [[c, r] for r in range(sh.nrows) for c in range(sh.ncols)
       if xf(r, c).background.fill_pattern == 1 and book.colour_map.get(xf(r, c).background.pattern_colour_index) == (255, 0, 0)]
json.dump({'sheets': book.sheet_names(), 'bold': bold, 'footers': footers, 'red': red,
           'types': [[sh.cell_type(r, c) for c in range(sh.ncols)] for r in range(sh.nrows)],
           'values': [[sh.cell_value(r, c) for c in range(sh.ncols)] for r in range(sh.nrows)],
           'formats': [[book.format_map[xf(r, c).format_key].format_str for c in range(sh.ncols)] for r in range(sh.nrows)],
           'cells': [[str(sh.cell_value(r, c)) for c in range(sh.ncols)] for r in range(sh.nrows)]}, sys.stdout)
)";

QStringList Strings(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& s : v.toArray())
        out.append(s.toString());
    return out;
}

} // namespace

QString PythonModuleUnavailable(const QString& module, const QString& package) {
    if (!QFile::exists(Python))
        return Python + QStringLiteral(" is missing (scripts/setup-deps installs it)");
    QProcess p;
    p.start(Python, {QStringLiteral("-c"), QStringLiteral("import ") + module});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return Python +
               QStringLiteral(" cannot import %1 (scripts/setup-deps installs %2)").arg(module, package);
    return {};
}

QString XlrdUnavailable() {
    return PythonModuleUnavailable(QStringLiteral("xlrd"), QStringLiteral("python3-xlrd"));
}

QByteArray RunPython(const QString& script, const QStringList& args) {
    QProcess p;
    p.start(Python, QStringList{QStringLiteral("-c"), script} + args);
    const bool done = p.waitForFinished(240000);
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_TRUE(done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << p.readAllStandardError().toStdString();
    return out;
}

XlsContent ReadXls(const QString& fileName) {
    const QJsonObject o =
        QJsonDocument::fromJson(RunPython(QString::fromUtf8(DumpScript), {fileName})).object();
    XlsContent c;
    c.sheetNames = Strings(o.value(QLatin1String("sheets")));
    c.footers = Strings(o.value(QLatin1String("footers")));
    for (const QJsonValue& row : o.value(QLatin1String("cells")).toArray())
        c.cells.append(Strings(row));
    for (const QJsonValue& b : o.value(QLatin1String("bold")).toArray())
        c.boldCells.append(QPoint(b.toArray().at(0).toInt(), b.toArray().at(1).toInt()));
    for (const QJsonValue& b : o.value(QLatin1String("red")).toArray())
        c.redCells.append(QPoint(b.toArray().at(0).toInt(), b.toArray().at(1).toInt()));
    for (const QJsonValue& row : o.value(QLatin1String("types")).toArray()) {
        QList<int> types;
        for (const QJsonValue& t : row.toArray())
            types.append(t.toInt());
        c.types.append(types);
    }
    for (const QJsonValue& row : o.value(QLatin1String("values")).toArray())
        c.values.append(row.toArray().toVariantList());
    for (const QJsonValue& row : o.value(QLatin1String("formats")).toArray())
        c.formats.append(Strings(row));
    return c;
}

} // namespace kq::test
