#pragma once

#include <QString>
#include <QStringList>

namespace kq::test {

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

// The built programs: KQ_CLI and KQ_APP when set, else the ones this build made.
QString CliProgram();
QString AppProgram();

// Runs the built kaoqin-cli and waits for it.
CliResult RunCli(const QStringList& args, const QByteArray& input = {});

} // namespace kq::test
