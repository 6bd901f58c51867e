#include "core/platform/speaker.h"

#include <QThread>
#include <cmath>
#include <vector>

#ifdef KQ_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace kq {

#ifdef KQ_HAVE_ALSA
namespace {
// A station without a sound card is normal: keep the library's complaints off stderr.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
} // namespace
#endif

void SoundDeviceSpeaker::beep(int frequencyHz, int durationMs) {
    if (frequencyHz <= 0 || durationMs <= 0) return;
#ifdef KQ_HAVE_ALSA
    snd_lib_error_set_handler(&QuietAlsa);
    // Opened without blocking, so a device held by another program gives silence instead of
    // a punch screen waiting for it; the writes below block as playback needs.
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0 ||
        snd_pcm_nonblock(pcm, 0) < 0) {
        if (pcm) snd_pcm_close(pcm);
        QThread::msleep(durationMs); // no device: keep the timing, make no sound
        return;
    }
    const unsigned rate = 44100;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1, 50000) <
        0) {
        snd_pcm_close(pcm);
        QThread::msleep(durationMs);
        return;
    }
    const size_t frames = size_t(rate) * size_t(durationMs) / 1000;
    std::vector<short> samples(frames);
    const double step = 2.0 * M_PI * frequencyHz / rate;
    for (size_t i = 0; i < frames; ++i)
        samples[i] = short(12000.0 * std::sin(step * double(i)));
    size_t done = 0;
    while (done < frames) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, samples.data() + done, frames - done);
        if (n < 0) n = snd_pcm_recover(pcm, int(n), 1);
        if (n < 0) break;
        done += size_t(n);
    }
    snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
#else
    QThread::msleep(durationMs);
#endif
}

} // namespace kq
