#pragma once

namespace sbk3 {

// The pseudo-random generator the commands draw from.
class RandomPort {
public:
    virtual ~RandomPort() = default;
    // Reseeds from the system timer.
    virtual void rtcRandomize() = 0;
    // The next value r, 0 <= r < 1.
    virtual float rtcRandomNext() = 0;
};

} // namespace sbk3
