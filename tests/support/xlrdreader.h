#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace kq::test {

// Tests read written workbooks back with python3-xlrd, a reader outside the project that accepts
// only real BIFF8. It must run on the distribution's own /usr/bin/python3, for which the package
// is installed; another python3 may come first on PATH.

// Empty when that reader is usable, else why not (tests skip then).
QString XlrdUnavailable();
// The same for another module of that interpreter, installed by the named Debian package.
QString PythonModuleUnavailable(const QString& module, const QString& package);

// Runs a script with that interpreter; the script's arguments follow it. Returns its output;
// a failing script fails the current test.
QByteArray RunPython(const QString& script, const QStringList& args);

// What the reader sees in a workbook.
struct XlsContent {
    QStringList sheetNames;
    QList<QStringList> cells;   // first sheet, every row padded to the sheet's width
    QList<QPoint> boldCells;    // (column, row) of the first sheet's cells set in a bold font
    QStringList footers;        // page footer texts of the first sheet
    QList<QPoint> redCells;     // (column, row) of the cells with a solid red fill
    QList<QList<int>> types;    // xlrd's cell types: 0 empty, 1 text, 2 number, 3 date or time
    QList<QVariantList> values; // numbers as doubles, texts as strings
    QList<QStringList> formats; // each cell's number format ("General", "hh:mm:ss" ...)
};

XlsContent ReadXls(const QString& fileName);

} // namespace kq::test
