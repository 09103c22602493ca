#include "benchsupport.h"

#include "tflogin.h"
#include "tfmain.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <sys/resource.h>

double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

BoxCounter::BoxCounter(QStringList normalTexts)
    : m_normalTexts(std::move(normalTexts)), m_previous(SetMessagePresenter(this))
{
}

BoxCounter::~BoxCounter()
{
    SetMessagePresenter(m_previous);
}

TXMessageButton BoxCounter::Present(const TXMessageRequest& request)
{
    if (m_normalTexts.contains(request.Text))
        return TXMessageButton::Ok;
    if (++Count == 1)
        First = request.Text.toStdString();
    if (request.Kind == TXMessageKind::Error)
        ++Errors;
    return TXMessageButton::Ok;
}

void ReportLatencies(benchmark::State& state, std::vector<double> ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double q) { return ms[std::min(ms.size() - 1, size_t(q * ms.size()))]; };
    state.counters["median_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
}

void AnswerLogin(const QString& user, const QString& password)
{
    auto* timer = new QTimer(FMain);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, user, password] {
        auto* dialog = qobject_cast<TFLogin*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QTest::keyClicks(dialog->EUser, user);
        QTest::keyClick(dialog->EUser, Qt::Key_Return);
        QTest::keyClicks(dialog->EPassword, password);
        QTest::keyClick(dialog->EPassword, Qt::Key_Return);
        timer->deleteLater();
    });
    timer->start();
}

int RunBenchmarks(int argc, char** argv, const std::function<void()>& cleanup)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cleanup)
        cleanup();
    return 0;
}
