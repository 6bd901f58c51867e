#pragma once

#include <QDateEdit>
#include <QLocale>

namespace kq {

// A date-only picker in the system's long date format, with a drop-down calendar.
inline QDateEdit* MakeDatePicker(const char* objectName, const QDate& date, QWidget* parent) {
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QLatin1String(objectName));
    edit->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace kq
