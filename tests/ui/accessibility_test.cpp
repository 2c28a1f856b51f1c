#include "tests/support/recording_platform.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/plot/tiplot.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

struct Accessibility : ::testing::Test {
    test::RecordingPlatform platform;
};

QString accessibleText(QObject* object, QAccessible::Text which)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->text(which) : QStringLiteral("<none>");
}

QAccessible::Role accessibleRole(QObject* object)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->role() : QAccessible::NoRole;
}

}  // namespace

TEST_F(Accessibility, EveryControlIsAnnouncedByItsCaptionOrRole)
{
    TForm1 form;
    struct Case {
        QWidget* control;
        QAccessible::Role role;
        const char* name;
        const char* description;  // nullptr: any, as long as there is one
    } cases[] = {
        {form.Button1, QAccessible::Button, "Top", "Move to the Top and rezero"},
        {form.Button3, QAccessible::Button, "Electrolyte", "Move to the Electrolyte Position"},
        {form.BitBtn1, QAccessible::Button, "Run", "Starts or stops a polish run"},
        {form.Button6, QAccessible::Button, "Set Power and Zero Current", nullptr},
        {form.Button11, QAccessible::Button, "Power On", nullptr},
        {form.Edit1, QAccessible::EditableText, "Number Cycles", nullptr},
        {form.Edit5, QAccessible::EditableText, "Chart title", nullptr},
        {form.Edit6, QAccessible::EditableText, "Min", nullptr},
        {form.iKnob1, QAccessible::Dial, "Voltage", "Supply voltage set-point, 4 to 55 V"},
        {form.iSwitchSlider2, QAccessible::Slider, "Output", "AC or DC output"},
        {form.iSwitchSlider1, QAccessible::Slider, "Speed", nullptr},
        {form.iLinearGauge1, QAccessible::Slider, "Position gauge", nullptr},
        {form.iAngularGauge1, QAccessible::Indicator, "Current meter", nullptr},
        {form.iSevenSegmentAnalog1, QAccessible::Indicator, "Current readout", nullptr},
        {form.iLedRound1, QAccessible::Indicator, "Polish", nullptr},
        {form.iPlot1, QAccessible::Chart, "Chart", nullptr},
        {form.Label5, QAccessible::StaticText, "0.00", "Position in mm"},
        {form.StaticText6, QAccessible::StaticText, "Cycles per Electrolyte:", ""},
    };
    for (const Case& c : cases) {
        const std::string id = c.control->objectName().toStdString();
        EXPECT_EQ(accessibleRole(c.control), c.role) << id;
        EXPECT_EQ(accessibleText(c.control, QAccessible::Name), QString::fromLatin1(c.name)) << id;
        const QString description = accessibleText(c.control, QAccessible::Description);
        if (c.description) {
            EXPECT_EQ(description, QString::fromLatin1(c.description)) << id;
        } else {
            EXPECT_FALSE(description.isEmpty()) << id;
        }
    }

    // Nothing the operator can see is left unnamed, and every control says what it is for.
    for (QWidget* w : form.centralWidget()->findChildren<QWidget*>()) {
        QWidget* parent = w->parentWidget();
        const bool control = parent == form.centralWidget() || parent == form.statusBand ||
                             qobject_cast<QGroupBox*>(parent) != nullptr;
        if (!control || w->isHidden() || w == form.statusBand || qobject_cast<QGroupBox*>(w))
            continue;
        const std::string id = w->objectName().toStdString();
        EXPECT_FALSE(accessibleText(w, QAccessible::Name).isEmpty()) << id;
        if (!qobject_cast<QLabel*>(w)) {
            EXPECT_FALSE(accessibleText(w, QAccessible::Description).isEmpty()) << id;
        }
    }

    // The menu reads as drawn, without its mnemonic marks.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.menuBar());
    ASSERT_NE(bar, nullptr);
    QStringList entries;
    for (int i = 0; i < bar->childCount(); ++i)
        entries << bar->child(i)->text(QAccessible::Name);
    EXPECT_EQ(entries, QStringList({"File", "About"}));
}

TEST_F(Accessibility, TheAboutWindowNamesItsPictureAndButtons)
{
    TForm1 form;
    TForm2 about(&form);
    EXPECT_EQ(accessibleText(about.Image1, QAccessible::Name), QStringLiteral("Logo"));
    EXPECT_EQ(accessibleText(about.Button1, QAccessible::Name), QStringLiteral("OK"));
    EXPECT_EQ(accessibleText(about.Button2, QAccessible::Description), QStringLiteral("Opens the maker's web site"));
}
