#include "core/platform/platform.h"

namespace kq {

PlatformServices& Services() {
    static PlatformServices services{nullptr, std::make_unique<SystemClock>(),
                                     std::make_unique<SoundDeviceSpeaker>(),
                                     std::make_unique<NativeSystemServices>(), std::make_unique<SaveFiles>()};
    return services;
}

} // namespace kq
