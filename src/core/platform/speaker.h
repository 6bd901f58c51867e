#pragma once

namespace kq {

// A tone of the given frequency and length; returns when it has been played.
class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void beep(int frequencyHz, int durationMs) = 0;
};

// Plays a sine tone on the default sound device; silent when there is none.
class SoundDeviceSpeaker : public Speaker {
public:
    void beep(int frequencyHz, int durationMs) override;
};

} // namespace kq
