// Takes the screenshot the AppStream data shows, at build time: the main window on the
// simulated instrument, after its start-up sequence, on Qt's offscreen platform. So the picture
// software centres show is always the window this build makes.
//   velmar_render_screenshot <out.png> [WIDTHxHEIGHT]

#include "controller/poll_cycle.h"
#include "platform/delay.h"
#include "platform/velmar_application.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/app_identity.h"
#include "ui/main_window.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    using namespace velmar;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUT.png [WIDTHxHEIGHT]\n", argv[0]);
        return 2;
    }
    int width = 1280, height = 720;
    if (argc == 3 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "%s: '%s' is no WIDTHxHEIGHT\n", argv[0], argv[2]);
        return 2;
    }
    // The builder's own settings and records stay untouched: the window reads and writes a
    // folder of its own.
    QTemporaryDir dataHome;
    if (!dataHome.isValid())
        return 1;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");

    auto instrument = std::make_shared<sim::KestromSim>();
    instrument->setSpeedFactor(20.0);
    sim::installSimulator(instrument);

    VelmarApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmar"));
    ApplyApplicationIdentity();
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});

    // No one is there to answer a dialog (the first start's "Creating Configuration File"):
    // each is closed as it opens and its text goes to the build's log.
    QTimer answerDialogs;
    QObject::connect(&answerDialogs, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "dialog: %s\n", qPrintable(box->text().replace(u'\r', u' ')));
            box->close();
        }
    });
    answerDialogs.start(50);

    TForm1 form1;
    TForm2 form2(&form1);
    form1.setAboutWindow(&form2);
    form1.show();

    // The start-up sequence ends by starting the poll cycle; a few cycles later the displays
    // show the instrument's current.
    QElapsedTimer clock;
    clock.start();
    while (!form1.iThreadTimers1->enabled(PollCycle::PollTimer)) {
        if (clock.elapsed() > 60000) {
            std::fprintf(stderr, "%s: the start-up sequence did not finish within 60 s\n", argv[0]);
            return 1;
        }
        Delay(20);
    }
    Delay(500);

    form1.setWindowState(Qt::WindowNoState);
    form1.resize(width, height);
    Delay(200);
    const QImage shot = form1.grab().toImage();
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    // Closing would save the taught positions and send "X": the settings folder goes with the
    // temporary one, and the simulated instrument needs no goodbye.
    return 0;
}
