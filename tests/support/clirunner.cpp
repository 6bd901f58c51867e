#include "support/clirunner.h"

#include <QProcess>

namespace kq::test {

namespace {
QString Program(const char* variable, const char* built) {
    const QString set = qEnvironmentVariable(variable);
    return set.isEmpty() ? QString::fromUtf8(built) : set;
}
} // namespace

QString CliProgram() {
    return Program("KQ_CLI", KQ_CLI_PATH);
}
QString AppProgram() {
    return Program("KQ_APP", KQ_APP_PATH);
}

CliResult RunCli(const QStringList& args, const QByteArray& input) {
    QProcess p;
    p.start(CliProgram(), args);
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
