#pragma once

#include <QValidator>

class QLineEdit;

namespace kq {

// Refuses input that would make a line longer than its field's width in GBK bytes, so a typed
// value is never cut when it is stored.
class GbkWidthValidator : public QValidator {
    Q_OBJECT
public:
    GbkWidthValidator(int width, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    int m_width;
};

// Limits edit to width GBK bytes.
void LimitToWidth(QLineEdit* edit, int width);

} // namespace kq
