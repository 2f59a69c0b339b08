// Runs an action a number of times and gives the median of its durations in microseconds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

template <typename Action>
double MedianMicroseconds(int iterations, Action action) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int i = 0; i < iterations; ++i) {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    action();
    ::QueryPerformanceCounter(&t1);
    times.push_back(1e6 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return times.empty() ? 0 : times[times.size() / 2];
}
