#pragma once
// The host's source of uniform random numbers in [0, 1): seeded (the same
// seed gives the same numbers on every platform), or scripted for tests (a
// fixed sequence, or one constant).
#include <cstdint>
#include <vector>

namespace host {

class RandomSource {
public:
    // Seeded with 1.
    RandomSource();

    void Seed(std::uint64_t seed);
    // Give these numbers in turn; after the last, start again (repeat) or
    // give 0.
    void Script(std::vector<float> sequence, bool repeat);
    // Give u every time.
    void Constant(float u);

    // The next number, 0 ≤ u < 1. A scripted value outside [0, 1) is given
    // as it is: tests may want it.
    float Next();

    // How many numbers have been drawn since the source was last set.
    std::uint64_t Draws() const { return draws_; }

    // The largest float below 1.
    static constexpr float kJustBelowOne = 0x1.fffffep-1f;

private:
    enum class Mode : std::uint8_t { Seeded, Sequence, Constant };
    Mode mode_ = Mode::Seeded;
    std::uint64_t state_ = 0;
    std::vector<float> sequence_;
    std::size_t position_ = 0;
    bool repeat_ = false;
    float constant_ = 0.0f;
    std::uint64_t draws_ = 0;
};

}  // namespace host
