#include "device/d2xx/d2xx.h"
#include "sim/kestrom_sim.h"
#include "ui/app_identity.h"
#include "ui/command_line.h"
#include "ui/device_report.h"
#include "ui/platform/log.h"
#include "ui/platform/transcript.h"
#include "ui/signal_close.h"
#include "ui/unit1.h"
#include "ui/unit2.h"
#include "ui/velmar_application.h"

#include <QFont>
#include <QTextStream>

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
    if (line.listDevices) {
        QTextStream out(stdout);
        return ListDevices(line.ports, out);
    }

    d2xx::BackendOptions backend;
    backend.kind = line.simulate ? d2xx::BackendOptions::Simulated : d2xx::BackendOptions::Serial;
    backend.simulateSpeed = line.simulateSpeed;
    backend.ports = line.ports;
    d2xx::configure(backend);
    if (!line.transcript.isEmpty()) {
        OpenTranscript(line.transcript);
        if (auto instrument = d2xx::simulator())
            instrument->commandObserver = [](const QByteArray& command) {
                WriteTranscript(QStringLiteral("wire"), QString::fromLatin1(command));
            };
    }

    VelmarApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmar"));
    ApplyApplicationIdentity();
    // The window's faces were drawn for these; fontconfig maps Arial to its metric twin.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});

    TForm1 form1(arguments);
    TForm2 form2(&form1);
    form1.setAboutWindow(&form2);
    form1.show();
    SignalClose closeOnSignals([&form1](int) { form1.closeForSignal(); });
    return app.exec();
}
