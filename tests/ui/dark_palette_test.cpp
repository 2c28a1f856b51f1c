#include "platform/named_colours.h"
#include "tests/support/image_difference.h"
#include "tests/support/recording_platform.h"
#include "ui/form1_configuration.h"
#include "ui/main_window.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/plot/tiplot.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace velmar;

namespace {

// A dark desktop scheme: light text on dark grey, as the darker desktop themes give it.
QPalette darkScheme()
{
    const QColor text(230, 230, 230), face(53, 53, 53);
    QPalette p(text, face, QColor(90, 90, 90), QColor(20, 20, 20), QColor(40, 40, 40), text,
               QColor(255, 255, 255), QColor(30, 30, 30), face);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::ToolTipBase, QColor(20, 20, 20));
    p.setColor(QPalette::ToolTipText, text);
    return p;
}

// The application's palette for the scope of one picture.
class ApplicationPalette {
public:
    explicit ApplicationPalette(const QPalette& palette) : previous_(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(previous_); }

private:
    QPalette previous_;
};

// A fresh widget made and drawn while the application has `palette`.
QImage drawnUnder(const QPalette& palette, const std::function<std::unique_ptr<QWidget>()>& make)
{
    ApplicationPalette scheme(palette);
    std::unique_ptr<QWidget> widget = make();
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

template <typename W>
std::function<std::unique_ptr<QWidget>()> configured(void (*configure)(W&), QSize size)
{
    return [configure, size] {
        auto widget = std::make_unique<W>();
        configure(*widget);
        widget->resize(size);
        return std::unique_ptr<QWidget>(std::move(widget));
    };
}

struct DarkPalette : ::testing::Test {
    test::RecordingPlatform platform;
    QPalette light = QApplication::palette();
};

}  // namespace

TEST_F(DarkPalette, InstrumentWidgetsDrawTheSameUnderADarkDesktopScheme)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
    } cases[] = {
        {"knob", configured(configureKnob1, {137, 105})},
        {"meter", configured(configureAngularGauge1, {161, 97})},
        {"readout", configured(configureSevenSegmentAnalog1, {140, 36})},
        {"position gauge", configured(configureLinearGauge1, {57, 545})},
        {"speed switch", configured(configureSwitchSlider1, {105, 145})},
        {"AC/DC switch", configured(configureSwitchSlider2, {65, 89})},
        {"chart", configured(configurePlot1, {657, 401})},
        // On the window the lamp lets its group show through; drawn on its own background.
        {"lamp", [] {
             auto lamp = std::make_unique<TiLedRound>();
             configureLedRound1(*lamp);
             lamp->setTransparent(false);
             lamp->resize(33, 33);
             return std::unique_ptr<QWidget>(std::move(lamp));
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test::ImageDifference(drawnUnder(light, c.make), drawnUnder(darkScheme(), c.make)), "") << c.name;

    // And they are drawn in their own colours: dark numerals on the button face.
    const QImage knob = drawnUnder(darkScheme(), cases[0].make);
    EXPECT_EQ(QColor(knob.pixel(1, 1)), colours::ButtonFace);
    bool darkNumeral = false;
    for (int y = 0; y < knob.height() && !darkNumeral; ++y)
        for (int x = 0; x < knob.width() && !darkNumeral; ++x)
            darkNumeral = qGray(knob.pixel(x, y)) < 40;
    EXPECT_TRUE(darkNumeral);
}

TEST_F(DarkPalette, TheWindowLooksTheSameUnderADarkDesktopScheme)
{
    const auto window = [] { return std::unique_ptr<QWidget>(std::make_unique<TForm1>()); };
    const QImage underLight = drawnUnder(light, window);
    const QImage underDark = drawnUnder(darkScheme(), window);
    EXPECT_EQ(test::ImageDifference(underLight, underDark), "");

    // The position readout: its figures in the colour the controller gave them (navy, red or
    // lime) on the button face.
    ApplicationPalette scheme(darkScheme());
    TForm1 form;
    const QImage picture = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect at(form.Label5->mapTo(&form, QPoint(0, 0)), form.Label5->size());  // as laid out for the picture
    const QImage readout = picture.copy(at);
    // The group's face (the style shades it a little off the button face) stays light.
    EXPECT_GT(qGray(readout.pixel(readout.width() - 2, 1)), 220);
    form.Label5->ensurePolished();
    const QColor figures = form.Label5->palette().color(form.Label5->foregroundRole());
    EXPECT_NE(figures, form.palette().color(QPalette::Window));
    bool drawn = false;
    for (int y = 0; y < readout.height() && !drawn; ++y)
        for (int x = 0; x < readout.width() && !drawn; ++x)
            drawn = QColor(readout.pixel(x, y)) == figures;
    EXPECT_TRUE(drawn) << figures.name().toStdString();
}
