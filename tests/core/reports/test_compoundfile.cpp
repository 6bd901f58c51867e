#include "core/reports/compoundfile.h"
#include "support/xlrdreader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QByteArray Noise(int size, quint32 seed) {
    QByteArray b(size, '\0');
    QRandomGenerator gen(seed);
    for (char& c : b)
        c = char(gen.bounded(256));
    return b;
}

} // namespace

// Sizes around the mini-stream cutoff and one stream whose allocation table needs DIFAT
// sectors, read back by xlrd's own compound-file reader.
TEST(CompoundFile, StreamsReadBackByIndependentReader) {
    const QString why = test::XlrdUnavailable();
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    const QList<CompoundStream> streams = {
        {"Workbook", Noise(9 * 1024 * 1024 + 77, 1)}, // more than 109 table sectors map
        {"Empty", {}},
        {"A", Noise(1, 2)},
        {"Below cutoff", Noise(4095, 3)},
        {"AtCutoff", Noise(4096, 4)},
        {"Odd", Noise(5000, 5)},
        {"Mini", Noise(700, 6)},
        {"Mini two", Noise(64, 7)},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("streams.bin");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(BuildCompoundFile(streams));
    f.close();

    const char* script = R"(
import hashlib, sys
from xlrd import compdoc
with open(sys.argv[1], 'rb') as f:
    doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
for name in sys.argv[2:]:
    data = doc.get_named_stream(name)
    print(name, len(data), hashlib.md5(data).hexdigest())
)";
    QStringList args{path}, expected;
    for (const CompoundStream& s : streams) {
        args.append(s.name);
        expected.append(QStringLiteral("%1 %2 %3")
                            .arg(s.name)
                            .arg(s.data.size())
                            .arg(QCryptographicHash::hash(s.data, QCryptographicHash::Md5).toHex()));
    }
    EXPECT_EQ(
        QString::fromUtf8(test::RunPython(QString::fromUtf8(script), args)).split('\n', Qt::SkipEmptyParts),
        expected);
}
