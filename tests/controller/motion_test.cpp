#include "platform/number_format.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tilineargauge.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <ostream>

#include <climits>
#include <cstdint>

using namespace velmar;

// Readable failure messages for command lists.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// The colour the readout is painted in, as the label's style resolves it.
QColor textColour(QLabel* label)
{
    label->ensurePolished();
    return label->palette().color(label->foregroundRole());
}

class Moves : public test::WindowTest {
protected:
    Motion& motion() { return controller().motion; }
    TiLinearGauge& gauge() { return *form->iLinearGauge1; }

    // Homed, taught positions loaded, the gauge on screen so it takes mouse input.
    void homed()
    {
        form->show();
        startUp();
        pump(100);
        platform.dialogs.clear();
        sent_ = commands().size();
    }
    // Commands sent since homed().
    QStringList sentSinceHomed() const { return commands().mid(sent_); }

    // The left edge of the tick band, where only the teach pointers reach (the present-position
    // pointer sits at the band's right edge).
    QPoint onTeachPointer(int index)
    {
        const double shown = std::clamp(gauge().pointerPosition(index), gauge().positionMin(),
                                        gauge().positionMax());
        return {gauge().bandLeft() + 3, gauge().scaleRows().rowOf(shown)};
    }
    void drag(QPoint from, int dy)
    {
        QTest::mousePress(&gauge(), Qt::LeftButton, {}, from);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(&gauge(), from + QPoint(0, dy * i / steps));
        colourBeforeRelease = textColour(form->Label5);
        QTest::mouseRelease(&gauge(), Qt::LeftButton, {}, from + QPoint(0, dy));
        settle();
    }
    // A click on the empty scale right of the pointers: a press and release with no drag.
    void clickEmptyScale()
    {
        QTest::mouseClick(&gauge(), Qt::LeftButton, {},
                          QPoint(gauge().width() - 3, gauge().scaleRows().rowOf(10)));
        settle();
    }

    QColor colourBeforeRelease;

private:
    qsizetype sent_ = 0;
};

}  // namespace

TEST_F(Moves, StepsAndMillimetresRoundTripAndShowOnTheReadout)
{
    for (std::int32_t n : {INT_MIN, INT_MIN + 1, -3125, -1, 0, 1, 156, 2343, 3125, 1'000'003,
                           INT_MAX - 1, INT_MAX}) {
        const double mm = motion().ShowPosition(n);
        EXPECT_EQ(motion().MmToSteps(mm), n) << n;
        EXPECT_EQ(form->Label3->text(), QString::number(n));
    }
    // Every count in a band around the scale, and a stride through the whole range.
    for (std::int64_t n = -5000; n <= 5000; ++n)
        ASSERT_EQ(motion().MmToSteps(motion().ShowPosition(std::int32_t(n))), n);
    for (std::int64_t n = INT_MIN; n <= INT_MAX; n += 999'983)
        ASSERT_EQ(motion().MmToSteps(motion().ShowPosition(std::int32_t(n))), n);

    EXPECT_DOUBLE_EQ(motion().ShowPosition(156), 0.9984);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("1.00"));
    EXPECT_EQ(textColour(form->Label5), QColor(0, 0, 128));
    EXPECT_DOUBLE_EQ(gauge().position(), 0.9984);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("156"));

    // Beyond the scale the readout tells the truth while the gauge stops at its end.
    motion().ShowPosition(3500);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("22.40"));
    EXPECT_EQ(gauge().position(), 20.0);

    EXPECT_EQ(motion().MmToSteps(1.5), 234);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("234"));
    EXPECT_EQ(motion().MmToSteps(-0.9984), -156);
    EXPECT_TRUE(commands().isEmpty());
}

TEST_F(Moves, GoToAndPolishStrokesSendRelativeCommandsFromTheCount)
{
    homed();
    struct Case {
        bool polish;
        std::int32_t from, to;
        const char* sent;  // nullptr: nothing goes out
    };
    const Case cases[] = {
        {false, 0, 156, "GT -156"},    {false, 2343, 156, "GT 2187"}, {false, 312, 312, nullptr},
        {true, 156, 156, "GP -2 2"},   {true, 312, 310, "GP 0 2"},    {true, 310, 311, "GP 1 2"},
        {true, 311, 310, "GP -1 2"},   {true, 156, 312, "GP -154 2"}, {true, 312, 156, "GP 154 2"},
    };
    for (const Case& c : cases) {
        state().CurrentSteps = c.from;
        const QStringList before = commands();
        if (c.polish)
            run(motion().MovePolish(c.to));
        else
            run(motion().MoveTo(c.to));
        const QStringList expected =
            c.sent ? before + QStringList{QString::fromLatin1(c.sent)} : before;
        EXPECT_EQ(commands(), expected) << c.from << " -> " << c.to;
        EXPECT_EQ(state().CurrentSteps, c.to);
        EXPECT_FALSE(state().MoveBusy);
        EXPECT_EQ(form->Label5->text(), FormatNumber(c.to * 0.0064, 4, 2));
    }
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(Moves, AMoveAskedForDuringAnotherMovesReplyIsDroppedWhole)
{
    homed();
    // At the instrument's own speed, so the reply cannot be back before the wait has begun
    // (a loaded or sanitized run is slow enough for that at 20 times the speed).
    instrument->setSpeedFactor(1.0);
    // The operator clicks Electrolyte while the Home-to-End-Polish move waits for its reply.
    QTimer::singleShot(0, form->Button3, [this] { form->Button3->click(); });
    run(motion().MoveTo(state().PolishSteps));
    pump(50);
    EXPECT_EQ(sentSinceHomed(), QStringList{QStringLiteral("GT -156")});
    EXPECT_EQ(state().CurrentSteps, 312);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("2.00"));

    // The same for a stroke: the count keeps the stroke's target.
    QTimer::singleShot(0, form->Button2, [this] { form->Button2->click(); });
    run(motion().MovePolish(2000));
    pump(50);
    EXPECT_EQ(sentSinceHomed(), (QStringList{QStringLiteral("GT -156"), QStringLiteral("GP -1686 2")}));
    EXPECT_EQ(state().CurrentSteps, 2000);
}

TEST_F(Moves, TopDuringAnotherCommandsWaitBeepsAndShowsZeroWithoutSending)
{
    homed();
    QTimer::singleShot(0, form->Button1, [this] { form->Button1->click(); });
    motion().Button3Click();  // Electrolyte: 'GT -2187'
    settle();
    EXPECT_EQ(sentSinceHomed(), QStringList{QStringLiteral("GT -2187")});
    EXPECT_EQ(form->Label5->text(), QStringLiteral("0.00"));
    EXPECT_EQ(state().CurrentSteps, 0);
    EXPECT_EQ(platform.beepTicks.size(), 1);

    // A free Top is sent, re-zeroes and beeps.
    click(form->Button1);
    EXPECT_EQ(sentSinceHomed(), (QStringList{QStringLiteral("GT -2187"), QStringLiteral("TP")}));
    EXPECT_EQ(state().CurrentSteps, 0);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("0.00"));
    EXPECT_EQ(platform.beepTicks.size(), 2);
}

TEST_F(Moves, TeachingHomeAtOneAndAHalfMillimetresMovesThereOnRelease)
{
    homed();
    // Set as the gauge does for a drag (a pixel row is 0.038 mm, so no row lands on 1.5 mm):
    // the pointer changes, the handler runs, then the mouse button comes up over the gauge.
    gauge().setPointerPosition(Motion::HomePointer, 1.5);
    EXPECT_EQ(state().HomeSteps, 234);
    EXPECT_TRUE(state().HomeMovePending);
    EXPECT_EQ(textColour(form->Label5), QColor(255, 0, 0));
    EXPECT_EQ(form->Label5->text(), QStringLiteral("1.00"));  // still the present position
    EXPECT_TRUE(sentSinceHomed().isEmpty());

    clickEmptyScale();
    EXPECT_EQ(sentSinceHomed(), QStringList{QStringLiteral("GT -78")});
    EXPECT_EQ(state().CurrentSteps, 234);
    EXPECT_FALSE(state().HomeMovePending);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("1.50"));
    EXPECT_EQ(textColour(form->Label5), QColor(0, 0, 128));

    // Electrolyte colours the readout lime; pending moves go in Home, End Polish, Electrolyte
    // order whatever order the pointers were moved in.
    gauge().setPointerPosition(Motion::ElectrolytePointer, 12.8);
    EXPECT_EQ(textColour(form->Label5), QColor(0, 255, 0));
    gauge().setPointerPosition(Motion::PolishPointer, 3.2);
    clickEmptyScale();
    EXPECT_EQ(sentSinceHomed(), (QStringList{QStringLiteral("GT -78"), QStringLiteral("GT -266"),
                                             QStringLiteral("GT -1500")}));
    EXPECT_EQ(state().CurrentSteps, 2000);
    clickEmptyScale();
    EXPECT_EQ(sentSinceHomed().size(), 3);
}

TEST_F(Moves, DraggingAPointerWithTheMouseTeachesWhereItWasLeft)
{
    homed();
    const double rowMm = 20.0 / (gauge().scaleRows().bottom - gauge().scaleRows().top);
    drag(onTeachPointer(Motion::HomePointer), 13);
    const double mm = gauge().pointerPosition(Motion::HomePointer);
    EXPECT_NEAR(mm, 0.9984 + 13 * rowMm, 1e-9);
    const std::int32_t taught = RoundToInt(mm / 0.0064);
    EXPECT_EQ(state().HomeSteps, taught);
    EXPECT_EQ(colourBeforeRelease, QColor(255, 0, 0));
    EXPECT_EQ(sentSinceHomed(), QStringList{QStringLiteral("GT %1").arg(156 - taught)});
    EXPECT_EQ(state().CurrentSteps, taught);
    EXPECT_EQ(textColour(form->Label5), QColor(0, 0, 128));
}

TEST_F(Moves, ADragPastAnEndOfTheScaleIsHeldOnThatEnd)
{
    homed();
    const int pixels = gauge().height();
    // Electrolyte far below the bottom: held at 20 mm, 3125 steps.
    drag(onTeachPointer(Motion::ElectrolytePointer), pixels);
    EXPECT_EQ(gauge().pointerPosition(Motion::ElectrolytePointer), 20.0);
    EXPECT_EQ(state().ElectrolyteSteps, 3125);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("3125"));
    EXPECT_EQ(colourBeforeRelease, QColor(0, 255, 0));
    // Home far above the top: held at 0.
    drag(onTeachPointer(Motion::HomePointer), -pixels);
    EXPECT_EQ(gauge().pointerPosition(Motion::HomePointer), 0.0);
    EXPECT_EQ(state().HomeSteps, 0);
    EXPECT_EQ(sentSinceHomed(), (QStringList{QStringLiteral("GT -2969"), QStringLiteral("GT 3125")}));
    EXPECT_EQ(state().CurrentSteps, 0);

    // A position set from code (as from the settings file) is taken as it is.
    gauge().setPointerPosition(Motion::ElectrolytePointer, 25.6);
    EXPECT_EQ(state().ElectrolyteSteps, 4000);
}

TEST_F(Moves, TestStrokesAndSpeedButton)
{
    homed();
    click(form->Button4);
    click(form->Button5);
    QStringList expected;
    for (int i = 0; i < 5; ++i)
        expected << QStringLiteral("GT -200") << QStringLiteral("GT 200");
    expected << QStringLiteral("SS 2");
    EXPECT_EQ(sentSinceHomed(), expected);
    EXPECT_EQ(state().CurrentSteps, 156);
    EXPECT_EQ(instrument->positionSteps(), 156);
}
