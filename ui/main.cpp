#include "device/d2xx/backend.h"
#include "sim/kestrom_sim.h"
#include "ui/app_identity.h"
#include "ui/command_line.h"
#include "ui/device_report.h"
#include "platform/log.h"
#include "platform/transcript.h"
#include "ui/signal_close.h"
#include "controller/controller.h"
#include "ui/main_window.h"
#include "ui/about_window.h"
#include "platform/velmar_application.h"
#include "sim/simulated_backend.h"

#include <QFont>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace velmar;

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "velmar: %s\n%s", qPrintable(line.error), qPrintable(UsageText()));
        return 2;
    }
    if (line.help) {
        std::fputs(qPrintable(UsageText()), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("velmar %s\n", VELMAR_VERSION);
        return 0;
    }
    // Before any window: a log that cannot be written is a mistake on the command line.
    QString logError;
    if (!StartLog({line.log, line.verbose}, &logError)) {
        std::fprintf(stderr, "velmar: cannot open the log file '%s': %s\n", qPrintable(line.log), qPrintable(logError));
        return 2;
    }
    QString transcriptError;
    if (!line.transcript.isEmpty() && !OpenTranscript(line.transcript, &transcriptError)) {
        std::fprintf(stderr, "velmar: cannot open the transcript file '%s': %s\n", qPrintable(line.transcript),
                     qPrintable(transcriptError));
        return 2;
    }
    if (line.listDevices) {
        QTextStream out(stdout);
        return ListDevices(line.ports, out);
    }

    // The one place that decides where the channels go: the simulated instrument or the ttys.
    std::shared_ptr<sim::KestromSim> instrument;
    if (line.simulate) {
        instrument = std::make_shared<sim::KestromSim>();
        instrument->setSpeedFactor(line.simulateSpeed);
        sim::installSimulator(instrument);
    } else {
        d2xx::setBackend(d2xx::makeSerialBackend(line.ports));
    }
    if (!line.transcript.isEmpty() && instrument)
        instrument->commandObserver = [](const QByteArray& command) {
            WriteTranscript(QStringLiteral("wire"), QString::fromLatin1(command));
        };

    VelmarApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmar"));
    ApplyApplicationIdentity();
    // The window's faces were drawn for these; fontconfig maps Arial to its metric twin.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});

    TForm1 form1(arguments);
    form1.controller->progress.setSimulated(line.simulate);
    TForm2 form2(&form1);
    form1.setAboutWindow(&form2);
    form1.show();
    SignalClose closeOnSignals([&form1](int signal) { form1.closeForSignal(signal); });
    const int loopStatus = app.exec();
    // Read after the loop: the close that sets it runs inside it.
    const int status = std::max(loopStatus, form1.controller->exitStatus());
    qCInfo(lcRun) << "program ended, exit status" << status;
    return status;
}
