// The pause inside a dip, as the wire shows it: a polish run on the simulated instrument whose
// moves take no time and whose every reply comes a fixed time after its command (15 ms unless
// --reply-ms says otherwise), with the window shown (offscreen) and the controller as the
// program runs it.
//
// A dip sends "GT <down>" (into the electrolyte), waits for its reply, pauses 20 ms and sends
// "GT <up>" (back to Home). The figure is
//
//     gap = (instant "GT <up>" reached the instrument) - (instant "GT <down>" reached it)
//           - (the reply time)
//
// on the instrument's clock, i.e. the 20 ms pause plus whatever the program adds: noticing the
// reply, waking from the pause, writing the next command. The same is given for the pause after
// the return ("GT <up>" to the stroke speed "SS n"). Medians over every dip of the run.
//
//   bench_dip_gap [--seconds N] [--reply-ms MS]     default: a 20 s run, 15 ms replies
#include "bench/bench_main.h"
#include "bench/bench_window.h"
#include "controller/controller.h"
#include "platform/platform_services.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace velmar;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

int argument(const QStringList& arguments, const QString& name, int fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    const int seconds = argument(app.arguments(), QStringLiteral("--seconds"), 20);
    const int replyMs = argument(app.arguments(), QStringLiteral("--reply-ms"), 15);

    auto instrument = std::make_shared<sim::KestromSim>();
    instrument->setSpeedFactor(1e9);  // moves take no time: every reply time is the fixed one
    bench::SimulatedBench rig(instrument);

    bench::BenchWindow window;
    TForm1& form = window.form;
    instrument->faults.lateReplyMs = replyMs;
    form.Edit1->clear();
    form.Edit2->clear();
    form.Edit3->clear();
    form.Edit4->setText(QStringLiteral("1"));  // one stroke per dip: as many dips as can be
    const qsizetype mark = instrument->commands().size();

    // Started and stopped from the event loop, and waited for by watching the controller, so
    // the figure does not depend on whether a click returns before its routine has ended.
    bool stopped = false;
    QTimer::singleShot(0, &form, [&] { form.BitBtn1->click(); });
    QTimer::singleShot(seconds * 1000, &form, [&] {
        form.BitBtn1->click();
        stopped = true;
    });
    QEventLoop wait;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &wait, [&] {
        if (stopped && !form.controller->loopRunning())
            wait.quit();
    });
    watch.start(5);
    wait.exec();

    const QList<sim::WireCommand> wire = instrument->commands().mid(mark);
    const QByteArray down = "GT -2187", up = "GT 2187";
    std::vector<double> dip, back;
    for (qsizetype i = 0; i + 2 < wire.size(); ++i) {
        if (wire[i].text != down || wire[i + 1].text != up)
            continue;
        dip.push_back(static_cast<double>(wire[i + 1].atMs - wire[i].atMs - replyMs));
        if (wire[i + 2].text.startsWith("SS "))
            back.push_back(static_cast<double>(wire[i + 2].atMs - wire[i + 1].atMs - replyMs));
    }
    if (dip.empty()) {
        std::printf("no dip on the wire\n");
        return 1;
    }
    std::printf("Dip gap (\"%s\" to \"%s\", minus the %d ms reply), 20 ms specified: median %.1f ms over %zu dips "
                "(min %.0f, max %.0f)\n",
                down.constData(), up.constData(), replyMs, median(dip), dip.size(),
                *std::min_element(dip.begin(), dip.end()), *std::max_element(dip.begin(), dip.end()));
    if (!back.empty())
        std::printf("Return gap (\"%s\" to the stroke speed, minus the reply), 20 ms specified: median %.1f ms\n",
                    up.constData(), median(back));
    form.close();
    return 0;
}
