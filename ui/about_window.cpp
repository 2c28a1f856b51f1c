#include "ui/about_window.h"

#include "platform/named_colours.h"
#include "platform/platform_services.h"
#include "ui/window_frame.h"
#include "ui/window_resources.h"

#include <QCloseEvent>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace velmar {
namespace {

QFont sansSerif(int pixelSize)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    return font;
}

QPixmap logo()
{
    RegisterWindowResources();
    // Qt's own JPEG reader (its image plugin uses libjpeg); a logo it cannot read leaves the
    // picture empty, as a missing one does.
    QImageReader reader(QStringLiteral(":/velmar/logo.jpg"));
    return QPixmap::fromImage(reader.read());
}

}  // namespace

const QString TForm2::WebSite = QStringLiteral("https://www.kestrom.example/");

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About"));
    setFont(sansSerif(11));
    setPalette(designPalette());  // the main window's colours under any desktop scheme
    setFixedSize(484, 214);
    setModal(false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 137, 73);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // unscaled, at the top left
    Image1->setPixmap(logo());
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    Image1->setAccessibleName(QStringLiteral("Logo"));
    Image1->setAccessibleDescription(QStringLiteral("Opens the maker's web site"));

    StaticText1 = new QLabel(QStringLiteral("Velmar Software"), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(192, 24, 233, 41);
    StaticText1->setFont(sansSerif(32));

    StaticText2 = new QLabel(QStringLiteral("Version 2.2.1"), this);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText2->setGeometry(196, 88, 80, 20);
    StaticText2->setFont(sansSerif(13));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(196, 120, 81, 33);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    Button2 = new QPushButton(QStringLiteral("www.kestrom.example"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(16, 176, 193, 25);
    Button2->setAccessibleDescription(QStringLiteral("Opens the maker's web site"));
    connect(Button2, &QPushButton::clicked, this, &TForm2::OpenWebSite);

    Label1 = new QLabel(QStringLiteral("Copyright Kestrom Instruments 2009-2026"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(272, 184, 205, 13);

    // Our fonts are a little wider than the ones the window was drawn with: a label grows to
    // its text, to the right as far as the window allows, then to the left.
    for (QLabel* label : {StaticText1, StaticText2, Label1}) {
        const int width = std::max(label->width(), label->sizeHint().width());
        const int left = std::max(0, std::min(label->x(), this->width() - width));
        label->setGeometry(left, label->y(), width, label->height());
    }

    new FrameExtentsWatch(this, [this] { followFrame(); });
    FormCreate();
}

QPoint TForm2::CentredPosition(QSize workArea, QSize outer)
{
    // Integer division truncates toward zero, as the centring always did.
    const int top = std::max(0, (workArea.height() - outer.height()) / 2);
    const int left = std::max(0, (workArea.width() - outer.width()) / 2);
    return {left, top};
}

void TForm2::FormCreate() { centre(); }

void TForm2::centre()
{
    // By the outer size; only the work area's size counts, not its origin. The client is
    // placed, so the frame lands where it should whatever Qt last heard of the frame.
    const QMargins frame = frameExtents(*this);
    centredFrame_ = frame;
    const QPoint outer = CentredPosition(platform().workArea().size(), size().grownBy(frame));
    setGeometry(QRect(outer + QPoint(frame.left(), frame.top()), size()));
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        centring_ = true;
        centre();
    }
}

void TForm2::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // Shown again where it was: the centring is not repeated.
    centring_ = false;
}

void TForm2::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    followFrame();
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    followFrame();
}

void TForm2::followFrame()
{
    if (centring_ && frameExtents(*this) != centredFrame_)
        centre();
}

void TForm2::Button1Click() { hide(); }

// Whether a browser took the address is deliberately not examined: no browser is not the
// operator's problem here.
void TForm2::OpenWebSite() { platform().shellOpen(WebSite); }

void TForm2::showSplash()
{
    Button1->hide();
    Button2->hide();
    show();
}

void TForm2::hideSplash()
{
    Button1->show();
    Button2->show();
    hide();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OpenWebSite();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::closeEvent(QCloseEvent* event)
{
    // The close box only hides it; it is shown again where it was.
    event->accept();
    hide();
}

}  // namespace velmar
