#include "gui/widgets/gbkwidthvalidator.h"

#include "core/data/gbk.h"

#include <QLineEdit>

namespace kq {

GbkWidthValidator::GbkWidthValidator(int width, QObject* parent) : QValidator(parent), m_width(width) {}

QValidator::State GbkWidthValidator::validate(QString& input, int&) const {
    return GbkWidth(input) <= m_width ? Acceptable : Invalid;
}

void LimitToWidth(QLineEdit* edit, int width) {
    edit->setValidator(new GbkWidthValidator(width, edit));
}

} // namespace kq
