#include "core/data/syssetup.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"

namespace kq {

namespace {

SysSetupInfo FirstRow(const DataSet& ds) {
    SysSetupInfo info;
    if (!ds.isEmpty()) {
        info.StartBrush = ds.valueAt(0, schema::SysSetup::StartBrush).toBool();
        info.CompanyName = ds.valueAt(0, schema::SysSetup::CompanyName).toString();
        info.IsBeep = ds.valueAt(0, schema::SysSetup::IsBeep).toBool();
        info.DoubleSwipeSeconds = ds.valueAt(0, schema::SysSetup::DoubleSwipeSeconds).toInt();
    }
    return info;
}

// The value to store: wanted, unless the caller did not change it (stored stays); a value
// changed both here and by another program since base was read is refused.
template <typename T> T Merged(const T& wanted, const T& stored, const std::optional<T>& base) {
    if (!base) return wanted;
    if (wanted == *base) return stored;
    if (stored != *base && stored != wanted)
        throw ChangedElsewhere(QStringLiteral("系统设置已被其他程序修改，已重新读取，请重新设置。"));
    return wanted;
}

// Opens SysSetup.Dat with the fields added after its first layout.
void OpenSysSetup(DataSet& ds) {
    ds.open(DataFile(schema::SysSetup::File));
    ds.addFields({{schema::SysSetup::DoubleSwipeSeconds, FieldType::Integer}});
}

} // namespace

SysSetupInfo ReadSysSetup() {
    DataSet ds;
    OpenSysSetup(ds);
    return FirstRow(ds);
}

void WriteSysSetup(const SysSetupInfo& info, const std::optional<SysSetupInfo>& base) {
    DataSet ds;
    OpenSysSetup(ds);
    ds.update([&] {
        const SysSetupInfo stored = FirstRow(ds);
        const auto field = [&](auto member) {
            return Merged(info.*member, stored.*member, base ? std::optional((*base).*member) : std::nullopt);
        };
        const SysSetupInfo merged{field(&SysSetupInfo::StartBrush), field(&SysSetupInfo::CompanyName),
                                  field(&SysSetupInfo::IsBeep), field(&SysSetupInfo::DoubleSwipeSeconds)};
        ds.first();
        if (ds.isEmpty())
            ds.append();
        else
            ds.edit();
        ds.setValue(schema::SysSetup::CompanyName, merged.CompanyName);
        ds.setValue(schema::SysSetup::StartBrush, merged.StartBrush);
        ds.setValue(schema::SysSetup::IsBeep, merged.IsBeep);
        ds.setValue(schema::SysSetup::DoubleSwipeSeconds, merged.DoubleSwipeSeconds);
        ds.post();
    });
    ds.close();
}

} // namespace kq
