// Our code and a well-known peer doing the same work, timed in turn in every iteration so
// that both see the same machine load. Counters: "ours" and the peer's name in megapixels a
// second, and "ratio", our time over the peer's (goal: at most 1).
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace bench {

template <class Ours, class Theirs>
void SideBySide(benchmark::State& state, int64_t pixels, const char* peer, Ours ours,
                Theirs theirs) {
    using Clock = std::chrono::steady_clock;
    Clock::duration ourTime{}, theirTime{};
    for (auto _ : state) {
        const auto start = Clock::now();
        ours();
        const auto middle = Clock::now();
        theirs();
        const auto end = Clock::now();
        ourTime += middle - start;
        theirTime += end - middle;
    }
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const double n = double(state.iterations()) * double(pixels) / 1e6;
    state.counters["ours"] = n / seconds(ourTime);
    state.counters[peer] = n / seconds(theirTime);
    state.counters["ratio"] = seconds(ourTime) / seconds(theirTime);
}

} // namespace bench
