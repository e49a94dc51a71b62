// A portable, seeded source of numbers for the generators: the same files on
// every platform for the same seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace couloir::bench {

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    int between(int low, int high) {
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool percent(int share) { return between(1, 100) <= share; }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[engine_() % N];
    }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[engine_() % items.size()];
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace couloir::bench
