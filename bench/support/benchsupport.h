#pragma once

#include "xmessages.h"

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

/** Peak resident memory of this process so far, in MiB. */
double PeakRssMegabytes();

/** Sets the counters median_ms and p99_ms from single-iteration times in milliseconds. */
void ReportLatencies(benchmark::State& state, std::vector<double> ms);

/**
 * Answers every message box, since a box would block a benchmark, and counts
 * those whose text is not among the ones a normal run shows. Installed for its
 * lifetime; the previous presenter comes back when it dies.
 */
class BoxCounter : public TXMessagePresenter
{
public:
    explicit BoxCounter(QStringList normalTexts = {});
    ~BoxCounter() override;
    BoxCounter(const BoxCounter&) = delete;
    BoxCounter& operator=(const BoxCounter&) = delete;

    TXMessageButton Present(const TXMessageRequest& request) override;

    int Count = 0;     // boxes a normal run does not show
    int Errors = 0;    // error boxes among them
    std::string First; // the first one's text, to say why a run failed

private:
    QStringList m_normalTexts;
    TXMessagePresenter* m_previous = nullptr;
};

/** Answers the next modal login dialog by typing user, Enter, password, Enter. */
void AnswerLogin(const QString& user, const QString& password);

/** A benchmark program's main: offscreen QApplication, the benchmarks, then cleanup. */
int RunBenchmarks(int argc, char** argv, const std::function<void()>& cleanup = {});
