#include "core/platform/speaker.h"

#include <QThread>
#include <cmath>
#include <vector>

#ifdef KQ_HAVE_ALSA
#include "core/data/kqerror.h"
#include "core/platform/lazylibrary.h"

#include <alsa/asoundlib.h>
#endif

namespace kq {

#ifdef KQ_HAVE_ALSA
namespace {
// A station without a sound card is normal: keep the library's complaints off stderr.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// The sound library, opened by the first tone (see lazylibrary.h).
struct LibAsound {
    decltype(&::snd_lib_error_set_handler) snd_lib_error_set_handler;
    decltype(&::snd_pcm_close) snd_pcm_close;
    decltype(&::snd_pcm_drain) snd_pcm_drain;
    decltype(&::snd_pcm_nonblock) snd_pcm_nonblock;
    decltype(&::snd_pcm_open) snd_pcm_open;
    decltype(&::snd_pcm_recover) snd_pcm_recover;
    decltype(&::snd_pcm_set_params) snd_pcm_set_params;
    decltype(&::snd_pcm_writei) snd_pcm_writei;
};

// nullptr when the library cannot be opened: then there is no sound, as without a device.
const LibAsound* Asound() {
    static const LibAsound* const api = []() -> const LibAsound* {
        try {
            return &LibraryApi<LibAsound>("asound", 2, [](LazyLibrary& lib, LibAsound& a) {
                lib.resolve(a.snd_lib_error_set_handler, "snd_lib_error_set_handler");
                lib.resolve(a.snd_pcm_close, "snd_pcm_close");
                lib.resolve(a.snd_pcm_drain, "snd_pcm_drain");
                lib.resolve(a.snd_pcm_nonblock, "snd_pcm_nonblock");
                lib.resolve(a.snd_pcm_open, "snd_pcm_open");
                lib.resolve(a.snd_pcm_recover, "snd_pcm_recover");
                lib.resolve(a.snd_pcm_set_params, "snd_pcm_set_params");
                lib.resolve(a.snd_pcm_writei, "snd_pcm_writei");
            });
        } catch (const KqError&) {
            return nullptr;
        }
    }();
    return api;
}

// Plays the tone on the default device; false when there is no library or no usable device.
bool PlayTone(int frequencyHz, int durationMs) {
    const LibAsound* alsa = Asound();
    if (!alsa) return false;
    alsa->snd_lib_error_set_handler(&QuietAlsa);
    // Opened without blocking, so a device held by another program gives silence instead of
    // a punch screen waiting for it; the writes below block as playback needs.
    snd_pcm_t* pcm = nullptr;
    if (alsa->snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
    const unsigned rate = 44100;
    if (alsa->snd_pcm_nonblock(pcm, 0) < 0 ||
        alsa->snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1,
                                 50000) < 0) {
        alsa->snd_pcm_close(pcm);
        return false;
    }
    const size_t frames = size_t(rate) * size_t(durationMs) / 1000;
    std::vector<short> samples(frames);
    const double step = 2.0 * M_PI * frequencyHz / rate;
    for (size_t i = 0; i < frames; ++i)
        samples[i] = short(12000.0 * std::sin(step * double(i)));
    size_t done = 0;
    while (done < frames) {
        snd_pcm_sframes_t n = alsa->snd_pcm_writei(pcm, samples.data() + done, frames - done);
        if (n < 0) n = alsa->snd_pcm_recover(pcm, int(n), 1);
        if (n < 0) break;
        done += size_t(n);
    }
    alsa->snd_pcm_drain(pcm);
    alsa->snd_pcm_close(pcm);
    return true;
}
} // namespace
#endif

void SoundDeviceSpeaker::beep(int frequencyHz, int durationMs) {
    if (frequencyHz <= 0 || durationMs <= 0) return;
#ifdef KQ_HAVE_ALSA
    if (PlayTone(frequencyHz, durationMs)) return;
#endif
    QThread::msleep(durationMs); // no sound: keep the timing
}

} // namespace kq
