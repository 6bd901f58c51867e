#include "clirunner.h"

#include <QProcess>

namespace kq::test {

CliResult RunCli(const QStringList& args, const QByteArray& input) {
    QProcess p;
    p.start(qEnvironmentVariable("KQ_CLI"), args);
    CliResult r;
    if (!p.waitForStarted()) return r;
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace kq::test
