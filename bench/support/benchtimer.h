#ifndef ORVANE_BENCH_SUPPORT_BENCHTIMER_H
#define ORVANE_BENCH_SUPPORT_BENCHTIMER_H

#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

// Median wall time in milliseconds of `runs` calls; `prepare` runs untimed before each call.
inline double medianMs(int runs, const std::function<void()> &prepare,
                       const std::function<void()> &measured)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        measured();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

#endif
