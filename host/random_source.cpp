#include "host/random_source.h"

#include <utility>

namespace host {

RandomSource::RandomSource() { Seed(1); }

void RandomSource::Seed(std::uint64_t seed)
{
    mode_ = Mode::Seeded;
    state_ = seed;
    draws_ = 0;
}

void RandomSource::Script(std::vector<float> sequence, bool repeat)
{
    mode_ = Mode::Sequence;
    sequence_ = std::move(sequence);
    position_ = 0;
    repeat_ = repeat;
    draws_ = 0;
}

void RandomSource::Constant(float u)
{
    mode_ = Mode::Constant;
    constant_ = u;
    draws_ = 0;
}

float RandomSource::Next()
{
    ++draws_;
    switch (mode_) {
    case Mode::Constant:
        return constant_;
    case Mode::Sequence:
        if (position_ >= sequence_.size()) {
            if (!repeat_ || sequence_.empty()) return 0.0f;
            position_ = 0;
        }
        return sequence_[position_++];
    case Mode::Seeded:
        break;
    }
    // SplitMix64: integer arithmetic only, so every platform draws the same
    // bits. The top 24 bits make a float in [0, 1) exactly, never rounding up
    // to 1.
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) * 0x1.0p-24f;
}

}  // namespace host
