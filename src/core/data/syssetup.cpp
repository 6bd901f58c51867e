#include "data/syssetup.h"

#include "data/datafolder.h"
#include "data/dataset.h"

namespace kq {

SysSetupInfo ReadSysSetup() {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("SysSetup.Dat")));
    SysSetupInfo info;
    ds.first();
    if (!ds.isEmpty()) {
        info.StartBrush = ds.asBool(QStringLiteral("StartBrush"));
        info.CompanyName = ds.asString(QStringLiteral("CompanyName"));
        info.IsBeep = ds.asBool(QStringLiteral("IsBeep"));
    }
    ds.close();
    return info;
}

void WriteSysSetup(const SysSetupInfo& info) {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("SysSetup.Dat")));
    ds.first();
    if (ds.isEmpty())
        ds.append();
    else
        ds.edit();
    ds.setValue(QStringLiteral("CompanyName"), info.CompanyName);
    ds.setValue(QStringLiteral("StartBrush"), info.StartBrush);
    ds.setValue(QStringLiteral("IsBeep"), info.IsBeep);
    ds.post();
    ds.close();
}

} // namespace kq
