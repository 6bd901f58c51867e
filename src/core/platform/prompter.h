#pragma once

#include <QString>

namespace kq {

// Message boxes. Windows never call QMessageBox directly, so tests can script the answers.
class Prompter {
public:
    enum class Icon { Information, Warning, Error, Question };
    virtual ~Prompter() = default;
    // A notice with an OK button.
    virtual void message(const QString& title, const QString& text, Icon icon = Icon::Information) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString& title, const QString& text) = 0;
    // An OK/Cancel request (disk prompts); true for OK.
    virtual bool confirm(const QString& title, const QString& text) = 0;
    // The application's general error handler: the message of a failed operation.
    virtual void error(const QString& text) = 0;
};

} // namespace kq
