#pragma once

#include "core/platform/clock.h"
#include "core/platform/prompter.h"
#include "core/platform/savefiles.h"
#include "core/platform/speaker.h"
#include "core/platform/systemservices.h"

#include <memory>

namespace kq {

// The outside world as the program sees it. The program installs the real services at start;
// tests install fakes. Windows reach them through Services().
struct PlatformServices {
    std::unique_ptr<Prompter> prompter;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Speaker> speaker;
    std::unique_ptr<SystemServices> system;
    std::unique_ptr<SaveFiles> saveFiles;
};

PlatformServices& Services();

// Shorthands.
inline Prompter& Prompt() {
    return *Services().prompter;
}
inline QDateTime Now() {
    return Services().clock->now();
}

} // namespace kq
