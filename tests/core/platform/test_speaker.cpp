#include "core/platform/speaker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

#if __has_include(<alsa/asoundlib.h>)

namespace {

// Points the ALSA default device at pcmDefinition for the next tone.
void UseAlsaDefault(const QTemporaryDir& dir, const QString& name, const QString& pcmDefinition) {
    const QString conf = dir.filePath(name + ".conf");
    QFile f(conf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("</usr/share/alsa/alsa.conf>\npcm.!default %1\n").arg(pcmDefinition).toUtf8());
    f.close();
    qputenv("ALSA_CONFIG_PATH", conf.toUtf8());
}

// Upward zero crossings of signed 16-bit mono samples.
int Cycles(const QByteArray& raw) {
    const auto* s = reinterpret_cast<const qint16*>(raw.constData());
    int n = 0;
    for (qsizetype i = 1; i < raw.size() / 2; ++i)
        n += s[i - 1] < 0 && s[i] >= 0;
    return n;
}

} // namespace

TEST(SoundDeviceSpeaker, PlaysTheToneOnTheDefaultDevice) {
    QTemporaryDir dir;
    const QString out = dir.filePath("tone.raw");
    UseAlsaDefault(dir, "file",
                   QStringLiteral("{ type file slave.pcm \"null\" file \"%1\" format \"raw\" }").arg(out));
    SoundDeviceSpeaker speaker;
    speaker.beep(2000, 150);
    QFile raw(out);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly)) << "nothing reached the device";
    const QByteArray data = raw.readAll();
    EXPECT_NEAR(data.size() / 2, 44100 * 150 / 1000, 50); // 150 ms of mono 16-bit samples
    EXPECT_NEAR(Cycles(data), 300, 3);                    // 2000 Hz for 150 ms
}

TEST(SoundDeviceSpeaker, SilentAndTimelyWithoutADevice) {
    QTemporaryDir dir;
    UseAlsaDefault(dir, "none", QStringLiteral("{ type hw card 29 }"));
    SoundDeviceSpeaker speaker;
    QElapsedTimer clock;
    clock.start();
    speaker.beep(1000, 150);
    EXPECT_GE(clock.elapsed(), 140); // keeps the tone's length: the next swipe waits as with sound
    EXPECT_LT(clock.elapsed(), 1000);
}

#else

TEST(SoundDeviceSpeaker, SilentAndTimelyWithoutTheSoundLibrary) {
    SoundDeviceSpeaker speaker;
    QElapsedTimer clock;
    clock.start();
    speaker.beep(1000, 150);
    EXPECT_GE(clock.elapsed(), 140);
}

#endif
