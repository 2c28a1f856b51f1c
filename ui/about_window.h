#pragma once

#include <QDialog>
#include <QMargins>

class QLabel;
class QPushButton;

namespace velmar {

// The About window. It doubles as the start-up splash (both buttons hidden) and lives as long
// as the application, only ever shown and hidden.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    static const QString WebSite;

    QLabel* Image1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label1 = nullptr;

    void FormCreate();
    void Button1Click();
    void OpenWebSite();

    // Where the window goes on a work area of this size: centred, never above or left of 0.
    static QPoint CentredPosition(QSize workArea, QSize outerSize);

    void showSplash();
    void hideSplash();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void centre();
    void followFrame();

    // Centred by its outer size, which only the window manager knows once it has framed the
    // window: the first showing centres again whenever the frame changes.
    bool shownBefore_ = false;
    bool centring_ = false;
    QMargins centredFrame_;
};

}  // namespace velmar
