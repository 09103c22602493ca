#pragma once

#include <QString>
#include <benchmark/benchmark.h>
#include <functional>
#include <vector>

/** Peak resident memory of this process so far, in MiB. */
double PeakRssMegabytes();

/** Sets the counters median_ms and p99_ms from single-iteration times in milliseconds. */
void ReportLatencies(benchmark::State& state, std::vector<double> ms);

/** Answers the next modal login dialog by typing user, Enter, password, Enter. */
void AnswerLogin(const QString& user, const QString& password);

/** A benchmark program's main: offscreen QApplication, the benchmarks, then cleanup. */
int RunBenchmarks(int argc, char** argv, const std::function<void()>& cleanup = {});
