#include "tests/support/window_fixture.h"

#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QPushButton>

using namespace velmar;

namespace {

class PowerControlTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        state().Homed = true;  // the buttons on their own, without the homing's moves
    }
    void setSupply(double volts, bool dc)
    {
        form->iKnob1->setPosition(volts);
        form->iSwitchSlider2->setPosition(dc ? 1 : 0);
    }
    // The poll cycle refreshes RawCurrent from channel B, as after start-up.
    void startPolling()
    {
        state().CurrentCal = 2.9;
        state().SampleSlot = 1;
        form->iThreadTimers1->setEnabled(9, true);
    }
    QString statusLine() const { return form->iPlot1->LabelAt(1)->caption(); }
    // Milliseconds between the first commands with these texts on the wire.
    std::int64_t gapMs(const QString& first, int firstIndex, int secondIndex) const
    {
        const auto log = instrument->commands();
        EXPECT_EQ(QString::fromLatin1(log.at(firstIndex).text), first);
        return log.at(secondIndex).atMs - log.at(firstIndex).atMs;
    }
};

TEST_F(PowerControlTest, PowerOnProgramsTheSupplyCapturesTheZeroAndRestoresTheRelay)
{
    startPolling();
    setSupply(12.0, true);
    click(form->Button9);  // the operator had switched the relay on
    ASSERT_EQ(form->Button9->text(), "Relay Off");
    const int before = int(commands().size());

    click(form->Button11);

    EXPECT_EQ(commands().mid(before), (QStringList{"RY 0", "SP 1024 192", "DC", "PO 1", "PO 0", "PO 1", "RY 1"}));
    EXPECT_GE(gapMs("PO 1", before + 3, before + 4), 480);  // the 500 ms zero pulse
    // What the instrument reads with its output on and the relay open becomes the zero.
    const int zero = instrument->currentModel().zeroCount;
    EXPECT_NEAR(state().ZeroOffset, zero, instrument->currentModel().noise);
    EXPECT_EQ(form->Label2->text(), QString::number(state().ZeroOffset));
    EXPECT_EQ(statusLine(), "Power = 12.0VoltsDC");
    EXPECT_EQ(form->Button11->text(), "Power Off");
    EXPECT_FALSE(form->iKnob1->isEnabled());
    EXPECT_FALSE(form->iSwitchSlider2->isEnabled());
    EXPECT_TRUE(instrument->outputOn());
    EXPECT_TRUE(instrument->relayOn());
    EXPECT_TRUE(platform.dialogs.isEmpty());

    // Power Off: the meter drops at once, set-point and mode are free again.
    form->iAngularGauge1->setPosition(250.0);
    click(form->Button11);
    EXPECT_EQ(commands().last(), "PO 0");
    EXPECT_EQ(form->iAngularGauge1->position(), 0.0);
    EXPECT_EQ(form->Button11->text(), "Power On");
    EXPECT_TRUE(form->iKnob1->isEnabled());
    EXPECT_TRUE(form->iSwitchSlider2->isEnabled());
}

TEST_F(PowerControlTest, SetPointModeAndRelayFollowTheControls)
{
    struct Case {
        double volts;
        bool dc;
        QString setPoint;
        QString mode;
        QString status;
    };
    const Case cases[] = {
        {4.0, false, "SP 1024 64", "AC", "Power = 4.0VoltsAC"},
        {12.3, true, "SP 1024 197", "DC", "Power = 12.3VoltsDC"},
        {55.0, true, "SP 1024 880", "DC", "Power = 55.0VoltsDC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setPoint.toStdString());
        setSupply(c.volts, c.dc);
        const int before = int(commands().size());
        // Relay button at "Relay On": the relay stays off after the switch-on.
        click(form->Button11);
        EXPECT_EQ(commands().mid(before), (QStringList{"RY 0", c.setPoint, c.mode, "PO 1", "PO 0", "PO 1"}));
        EXPECT_EQ(statusLine(), c.status);
        click(form->Button11);
        EXPECT_EQ(commands().last(), "PO 0");
    }

    // The relay toggle: caption first, then the command.
    click(form->Button9);
    click(form->Button9);
    EXPECT_EQ(commands().mid(commands().size() - 2), (QStringList{"RY 1", "RY 0"}));
    EXPECT_EQ(form->Button9->text(), "Relay On");
}

TEST_F(PowerControlTest, ClicksDuringACommandExchangeAreIgnored)
{
    state().CommandBusy = true;
    click(form->Button11);
    click(form->Button9);
    EXPECT_EQ(form->Button11->text(), "Power On");
    EXPECT_EQ(form->Button9->text(), "Relay On");
    EXPECT_TRUE(form->iKnob1->isEnabled());
    state().CommandBusy = false;
    EXPECT_TRUE(commands().isEmpty());
}

TEST_F(PowerControlTest, SetPowerAndZeroLeavesTheSupplyOffWhateverTheCaptionsSay)
{
    setSupply(12.0, true);
    click(form->Button11);
    click(form->Button9);
    ASSERT_TRUE(instrument->outputOn());
    ASSERT_TRUE(instrument->relayOn());
    // Without poll cycles RawCurrent is not refreshed: the zero is whatever it last held.
    state().RawCurrent = 77;
    const int before = int(commands().size());

    click(form->Button6);

    EXPECT_EQ(commands().mid(before), (QStringList{"RY 0", "SP 1024 192", "DC", "PO 1", "PO 0"}));
    EXPECT_EQ(state().ZeroOffset, 77);
    EXPECT_EQ(form->Label2->text(), "77");
    EXPECT_FALSE(instrument->outputOn());
    EXPECT_FALSE(instrument->relayOn());
    EXPECT_EQ(form->Button11->text(), "Power Off");
    EXPECT_EQ(form->Button9->text(), "Relay Off");
    // The Power button still offers "Power Off": its next click sends "PO 0" again.
    click(form->Button11);
    EXPECT_EQ(commands().last(), "PO 0");
}

}  // namespace
