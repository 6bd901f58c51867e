#pragma once

#include <QString>
#include <QStringList>

namespace kq::test {

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

// Runs the built kaoqin-cli (its path comes from the test environment) and waits for it.
CliResult RunCli(const QStringList& args, const QByteArray& input = {});

} // namespace kq::test
