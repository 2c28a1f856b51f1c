#include "controller/manual_chart.h"

#include "controller/controller.h"
#include "platform/platform_services.h"
#include "widgets/plot/tiplot.h"

#include <QLineEdit>
#include <QPushButton>

namespace velmar {

void ManualChart::Button8Click()
{
    QPushButton* button = c_.ui.Button8;
    TiPlot* plot = c_.ui.iPlot1;
    ControllerState& s = c_.state;
    if (button->text() == QStringLiteral("Chart On")) {
        button->setText(QStringLiteral("Chart Off"));
        plot->ClearData();
        plot->setTitleText(QStringLiteral("Manual Mode"));
        s.TotalCharge = 0.0;
        // Min and the Y titles stay: the operator may have placed them for this recording.
        plot->XAxisAt(0)->setSpan(60.0);
        plot->XAxisAt(0)->setTitle(QStringLiteral("Time (Seconds)"));
        s.ChartStartTime = platform().now();
        s.ChartOn = true;
        c_.progress.recordingStarted();
        c_.records.begin(RecordKind::Manual);
    } else {
        // The points stay on the chart for the operator to look at or save.
        button->setText(QStringLiteral("Chart On"));
        s.ChartOn = false;
        c_.progress.recordingEnded();
        c_.records.end(RecordKind::Manual);
    }
}

void ManualChart::Button13Click()
{
    TiPlot* plot = c_.ui.iPlot1;
    plot->ClearData();
    c_.state.CycleNumber = 1.0;
    c_.state.TotalCharge = 0.0;
    plot->XAxisAt(0)->setMin(0.0);
    plot->XAxisAt(0)->setSpan(50.0);
}

void ManualChart::Edit5Change() { c_.ui.iPlot1->setTitleText(c_.ui.Edit5->text()); }

void ManualChart::iPlot1DblClickDataView()
{
    c_.ui.iPlot1->XAxisAt(0)->FitToData();
    c_.ui.iPlot1->YAxisAt(0)->FitToData();
}

}  // namespace velmar
