#pragma once

#include "core/platform/prompter.h"

namespace kq {

// Message boxes owned by the active window.
class MessageBoxPrompter : public Prompter {
public:
    void message(const QString& title, const QString& text, Icon icon) override;
    bool ask(const QString& title, const QString& text) override;
    bool confirm(const QString& title, const QString& text) override;
    void error(const QString& text) override;
};

} // namespace kq
