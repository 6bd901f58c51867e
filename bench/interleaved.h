#pragma once
// Times a measured command and its reference alternately (A B A B ...) within one benchmark, so
// that load on the machine falls on both alike, and reports each one's minimum and median.
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

namespace kq::bench {

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The wall-clock milliseconds of one run of work.
inline double WallMs(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// Counters: <name>_min_ms and <name>_med_ms for both, and ratio_med = reference / measured
// (above 1: the measured one is faster). Each callable returns its own time in milliseconds (see
// WallMs). The iteration time is the measured one's; register the benchmark with UseManualTime().
inline void InterleavedMs(benchmark::State& state, const std::string& name,
                          const std::function<double()>& measured, const std::string& refName,
                          const std::function<double()>& reference) {
    std::vector<double> a;
    std::vector<double> b;
    for (auto _ : state) {
        a.push_back(measured());
        b.push_back(reference());
        state.SetIterationTime(a.back() / 1e3);
    }
    state.counters[name + "_min_ms"] = *std::min_element(a.begin(), a.end());
    state.counters[name + "_med_ms"] = Median(a);
    state.counters[refName + "_min_ms"] = *std::min_element(b.begin(), b.end());
    state.counters[refName + "_med_ms"] = Median(b);
    state.counters["ratio_med"] = Median(b) / Median(a);
}

// Both timed by the wall clock.
inline void Interleaved(benchmark::State& state, const std::string& name,
                        const std::function<void()>& measured, const std::string& refName,
                        const std::function<void()>& reference) {
    InterleavedMs(
        state, name, [&] { return WallMs(measured); }, refName, [&] { return WallMs(reference); });
}

} // namespace kq::bench
