#pragma once

#include <QByteArray>
#include <QString>

namespace velmar {

// Replaces `fileName` with `bytes` in one step (written beside it, flushed, renamed over it),
// so a failed or interrupted save never leaves half a file where a whole one was. Empty on
// success, otherwise the reason.
QString SaveFileContents(const QString& fileName, const QByteArray& bytes);

// The ending a save dialog's filter stands for: "PNG (*.png)" gives "png"; empty when the
// filter names none.
QString FilterEnding(const QString& filter);

// `fileName` as typed into a save dialog: given the selected filter's ending when it has none
// of its own ("chart" with "PNG (*.png)" becomes "chart.png"; "chart.bmp" stays).
QString WithFilterEnding(const QString& fileName, const QString& filter);

}  // namespace velmar
