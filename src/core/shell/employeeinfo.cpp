#include "core/shell/employeeinfo.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/shell/password.h"

#include <QRegularExpression>

namespace kq {

namespace {

// The entry of a 1-based number in list; empty when the number is outside it.
QString Numbered(const QStringList& list, int number) {
    return number >= 1 && number <= list.size() ? list.at(number - 1) : QString();
}

} // namespace

TEmployeeInfo EmployeeAt(const DataSet& ds, int row) {
    TEmployeeInfo e;
    e.IDNo = ds.valueAt(row, schema::Employee::IDNo).toInt();
    e.SName = ds.valueAt(row, schema::Employee::SName).toString();
    e.Dept = ds.valueAt(row, schema::Employee::Dept).toInt();
    e.CardNo = ds.valueAt(row, schema::Employee::CardNo).toString();
    e.IsOperator = ds.valueAt(row, schema::Employee::IsOperator).toBool();
    e.Password = ds.valueAt(row, schema::Employee::Password).toString();
    e.Rigth = ds.valueAt(row, schema::Employee::Rigth).toInt();
    return e;
}

void StoreEmployee(DataSet& ds, const TEmployeeInfo& info) {
    ds.setValue(schema::Employee::IDNo, info.IDNo);
    ds.setValue(schema::Employee::SName, info.SName);
    ds.setValue(schema::Employee::Dept, info.Dept);
    ds.setValue(schema::Employee::CardNo, info.CardNo);
    ds.setValue(schema::Employee::IsOperator, info.IsOperator);
    SetPasswordField(ds, info.NewPassword.isEmpty() ? info.Password : info.NewPassword);
    ds.setValue(schema::Employee::Rigth, info.Rigth);
    ds.post();
}

QStringList DepartmentNames() {
    DataSet ds;
    ds.open(DataFile(schema::Department::File), schema::Department::ID);
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(schema::Department::DeptName);
    ds.close();
    return names;
}

EmployeeCalcFields CalcEmployeeFields(const TEmployeeInfo& e, const QStringList& groups,
                                      const QStringList& departments) {
    EmployeeCalcFields c;
    c.cDept = Numbered(departments, e.Dept);
    c.cIsOperator = e.IsOperator ? QStringLiteral("√") : QString();
    c.cPwd = e.Password.isEmpty() ? QString() : QStringLiteral("******");
    c.cRigth = Numbered(groups, e.Rigth);
    return c;
}

std::optional<int> ParseWorkNo(const QString& text) {
    QString halfWidth = text;
    for (QChar& c : halfWidth) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == QChar(0xFF0B))
            c = QLatin1Char('+');
        else if (c == QChar(0xFF0D))
            c = QLatin1Char('-');
        else if (c == QChar(0x3000))
            c = QLatin1Char(' ');
    }
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    const QString trimmed = halfWidth.trimmed();
    if (trimmed.isEmpty()) return 0;
    if (!whole.match(halfWidth).hasMatch()) return std::nullopt;
    bool ok = false;
    const int n = trimmed.toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

namespace {

QString Folded(const QVariant& v) {
    return v.toString().toCaseFolded();
}

// The first visible row other than ownRow whose field holds value (ignoring case), or -1.
int Holder(const DataSet& ds, const QString& field, const QString& value, int ownRow) {
    const QString wanted = value.toCaseFolded();
    if (wanted.isEmpty()) return -1;
    if (ownRow >= 0 && Folded(ds.valueAt(ownRow, field)) == wanted) return -1; // kept as it was
    for (int r = 0; r < ds.recordCount(); ++r)
        if (r != ownRow && Folded(ds.valueAt(r, field)) == wanted) return r;
    return -1;
}

} // namespace

std::optional<EmployeeRefusal> CheckEmployee(const DataSet& ds, const TEmployeeInfo& e, int ownRow) {
    if (auto m = TooWide(QStringLiteral("员工姓名"), e.SName, FieldWidth::SName))
        return EmployeeRefusal{EmployeeField::Name, *m};
    if (auto m = TooWide(QStringLiteral("磁卡号"), e.CardNo, FieldWidth::CardNo))
        return EmployeeRefusal{EmployeeField::CardNo, *m};
    if (auto m = TooWide(QStringLiteral("操作密码"), e.NewPassword, FieldWidth::Password))
        return EmployeeRefusal{EmployeeField::Password, *m};
    if (const int r = Holder(ds, schema::Employee::SName, e.SName, ownRow); r >= 0) {
        const TEmployeeInfo holder = EmployeeAt(ds, r);
        return EmployeeRefusal{
            EmployeeField::Name,
            QStringLiteral("已有员工“%1”（工号 %2），姓名不能重复！").arg(holder.SName).arg(holder.IDNo)};
    }
    if (const int r = Holder(ds, schema::Employee::CardNo, e.CardNo, ownRow); r >= 0) {
        const TEmployeeInfo holder = EmployeeAt(ds, r);
        return EmployeeRefusal{EmployeeField::CardNo,
                               QStringLiteral("磁卡号 %1 已属于员工“%2”（工号 %3），不能重复！")
                                   .arg(holder.CardNo, holder.SName)
                                   .arg(holder.IDNo)};
    }
    return std::nullopt;
}

EmployeeDuplicates FindDuplicates(const DataSet& ds) {
    EmployeeDuplicates found;
    const auto scan = [&](const QString& field, QHash<int, int>* rows) {
        QHash<QString, int> first;
        for (int r = 0; r < ds.recordCount(); ++r) {
            const QString key = Folded(ds.valueAt(r, field));
            if (key.isEmpty()) continue;
            const auto seen = first.constFind(key);
            if (seen == first.constEnd()) {
                first.insert(key, r);
                continue;
            }
            rows->insert(r, *seen);
            if (!rows->contains(*seen)) rows->insert(*seen, r);
        }
    };
    scan(schema::Employee::SName, &found.names);
    scan(schema::Employee::CardNo, &found.cards);
    return found;
}

} // namespace kq
