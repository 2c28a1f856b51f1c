#include "tests/support/window_fixture.h"
#include "ui/keyboard_access.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <ostream>
#include <tuple>

using namespace velmar;

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class Keyboard : public test::WindowTest {
protected:
    // The window on screen and active, homed, with nothing sent since.
    void homed()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        // The design's size: the offscreen screen is smaller than a desktop's.
        form->showNormal();
        form->resize(form->minimumSize());
        startUp();
        pump(100);
        activate();
        ASSERT_EQ(QApplication::activeWindow(), form.get());
        platform.dialogs.clear();
        sent_ = commands().size();
    }
    // A desktop gives the activation back to the window when a splash or a menu goes; the
    // offscreen platform does not.
    void activate()
    {
        for (int i = 0; i < 5 && QApplication::activeWindow() != form.get(); ++i) {
            form->activateWindow();
            // The loop's own condition is the check: the wait may end before the activation lands.
            static_cast<void>(QTest::qWaitForWindowActive(form.get()));
            pump(50);
        }
    }
    QStringList sentSinceHomed() const { return commands().mid(sent_); }
    QWidget* client() const { return form->centralWidget(); }

    // The controls Tab visits from the window's first focus, in order, until it comes round.
    QList<QWidget*> tabChain()
    {
        QList<QWidget*> visited;
        for (int i = 0; i < 100; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (!now || visited.contains(now))
                break;
            visited << now;
        }
        return visited;
    }

    // Where a control is read on screen: its group (the window's child that holds it) row by
    // row, then the control inside the group the same way.
    std::tuple<int, int, int, int> readingPlace(QWidget* control)
    {
        QWidget* section = control;
        while (section->parentWidget() != client())
            section = section->parentWidget();
        const QPoint inside = control->mapTo(section, QPoint(0, 0));
        return {section->y(), section->x(), inside.y(), inside.x()};
    }

private:
    qsizetype sent_ = 0;
};

std::string names(const QList<QWidget*>& widgets)
{
    QStringList out;
    for (const QWidget* w : widgets)
        out << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    return out.join(QLatin1Char(' ')).toStdString();
}

bool tabFocusable(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus; }

}  // namespace

TEST_F(Keyboard, TabVisitsEveryVisibleControlInReadingOrderAndNothingHiddenOrClipped)
{
    homed();
    // The window opens on the chart, where no key sends anything.
    EXPECT_EQ(form->focusWidget(), form->iPlot1);

    const QList<QWidget*> chain = tabChain();
    ASSERT_FALSE(chain.isEmpty());
    for (QWidget* w : chain) {
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
        EXPECT_FALSE(isClippedAway(w, client())) << w->objectName().toStdString() << " in "
                                                 << w->parentWidget()->geometry().x() << "," << w->parentWidget()->geometry().y()
                                                 << " client " << client()->width() << "x" << client()->height();
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        EXPECT_LT(readingPlace(chain[i - 1]), readingPlace(chain[i]))
            << chain[i - 1]->objectName().toStdString() << " before " << chain[i]->objectName().toStdString();

    // Every control the operator can see and use is on the way, and nothing else.
    QSet<QWidget*> expected;
    for (QWidget* w : client()->findChildren<QWidget*>())
        if (tabFocusable(w) && w->isVisible() && w->isEnabled())
            expected.insert(w);
    EXPECT_EQ(QSet<QWidget*>(chain.begin(), chain.end()), expected) << names(chain);
    EXPECT_EQ(chain.first(), form->Button1);
    EXPECT_EQ(chain.last(), form->Button6);
}

TEST_F(Keyboard, AClippedControlTakesNoFocusAndAssistiveTechnologyCannotPressIt)
{
    homed();
    // The motion group's "Run" lies beyond its box's edge; so does the hidden check box.
    EXPECT_TRUE(isClippedAway(form->Button4, client()));
    EXPECT_EQ(form->Button4->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form->CheckBox1->focusPolicy(), Qt::NoFocus);

    QAccessibleInterface* run = QAccessible::queryAccessibleInterface(form->Button4);
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run->state().invisible);
    EXPECT_FALSE(run->state().focusable);
    ASSERT_NE(run->actionInterface(), nullptr);
    EXPECT_TRUE(run->actionInterface()->actionNames().isEmpty());
    run->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    pump(100);
    EXPECT_EQ(sentSinceHomed(), QStringList());

    // Visible controls keep their focus; the status line's button takes it once it shows.
    EXPECT_NE(form->BitBtn1->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(form->useSuggestedVoltage->focusPolicy(), Qt::NoFocus);
}

TEST_F(Keyboard, AWindowSmallerThanItsDesignKeepsTheKeyboardFromWhatItsEdgeCutsOff)
{
    homed();
    // A maximised window on a screen smaller than the design: the lower right groups are cut.
    form->setMinimumSize(0, 0);
    form->Button6->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(form->Button6->hasFocus());
    form->resize(700, 500);
    pump(50);
    for (QWidget* w : {static_cast<QWidget*>(form->Button6), static_cast<QWidget*>(form->iKnob1)}) {
        EXPECT_TRUE(isClippedAway(w, client())) << w->objectName().toStdString();
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
    }
    EXPECT_FALSE(form->Button6->hasFocus());
    const qsizetype before = commands().size();
    if (QWidget* focused = QApplication::focusWidget())
        QTest::keyClick(focused, Qt::Key_Space);
    pump(100);
    EXPECT_FALSE(commands().mid(before).contains(QStringLiteral("RY 0")));

    // Back at the design's size, they take the focus again.
    form->resize(TForm1::MinimumOuterSize);
    pump(50);
    EXPECT_EQ(form->Button6->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(form->iKnob1->focusPolicy(), Qt::StrongFocus);
}

TEST_F(Keyboard, KeysOnTheFocusedControlPutExactlyTheirCommandsOnTheWire)
{
    homed();
    struct Case {
        QWidget* focused;
        int key;
        Qt::KeyboardModifiers modifiers;
        QStringList wire;
    } cases[] = {
        // A push button acts on Space only; Return and Enter do nothing outside a dialog.
        {form->Button1, Qt::Key_Return, Qt::NoModifier, {}},
        {form->Button1, Qt::Key_Enter, Qt::NoModifier, {}},
        {form->Button1, Qt::Key_Space, Qt::NoModifier, {"TP"}},
        {form->Button2, Qt::Key_Space, Qt::NoModifier, {"GT -156"}},
        // The knob and the switches are read when a command needs them, never sent by a key.
        {form->iKnob1, Qt::Key_Up, Qt::NoModifier, {}},
        {form->iKnob1, Qt::Key_PageDown, Qt::NoModifier, {}},
        {form->iSwitchSlider2, Qt::Key_Down, Qt::NoModifier, {}},
        {form->iSwitchSlider1, Qt::Key_Up, Qt::NoModifier, {}},
        // Power on: the set-point (the knob at its minimum, 4 V), the mode the switch was moved
        // to by its key (AC), the zero taken with the output on, then on.
        {form->Button11, Qt::Key_Space, Qt::NoModifier, {"RY 0", "SP 1024 64", "AC", "PO 1", "PO 0", "PO 1"}},
        {form->Button11, Qt::Key_Space, Qt::NoModifier, {"PO 0"}},
        {form->Edit1, Qt::Key_5, Qt::NoModifier, {}},
        // The chart: Space does nothing; Ctrl+S asks for a file name and sends nothing.
        {form->iPlot1, Qt::Key_Space, Qt::NoModifier, {}},
        {form->iPlot1, Qt::Key_S, Qt::ControlModifier, {}},
    };
    for (const Case& c : cases) {
        c.focused->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.focused->hasFocus()) << c.focused->objectName().toStdString() << " active "
                                           << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString() : "none");
        const qsizetype before = commands().size();
        QTest::keyClick(c.focused, Qt::Key(c.key), c.modifiers);
        pump(150);
        settle();
        QStringList wire;
        for (const QString& command : commands().mid(before))
            wire << command.trimmed();
        EXPECT_EQ(wire, c.wire) << c.focused->objectName().toStdString() << " key " << c.key;
    }
    EXPECT_EQ(platform.saveDialogs.size(), 1);

    // Tab never takes the focus to the hidden "Run"; given it by a program, it ignores keys.
    const qsizetype before = commands().size();
    form->Button4->setFocus();
    QTest::keyClick(form->Button4, Qt::Key_Space);
    pump(150);
    EXPECT_EQ(commands().mid(before), QStringList());
}

TEST_F(Keyboard, MenuMnemonicsF10AndQuit)
{
    homed();
    // Alt+F and F10 open "File"; Escape closes it again.
    for (const QKeyCombination key : {QKeyCombination(Qt::AltModifier, Qt::Key_F), QKeyCombination(Qt::Key_F10)}) {
        form->iPlot1->setFocus();
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->File1->isVisible(); }, 2000)) << key.toCombined();
        QTest::keyClick(form->File1, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->File1->isVisible(); }, 2000));
        // A second Escape leaves the menu bar for the window.
        QTest::keyClick(form->menuBar(), Qt::Key_Escape);
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    }
    const QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    EXPECT_EQ(form->Exit1->shortcut(), quit.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q) : quit.first());
    EXPECT_EQ(form->iPlot1->toolBarWidget()->action(TiPlotToolBar::Print)->shortcut(),
              QKeySequence(QKeySequence::Print));

    // The relay on, then the quit key: the relay goes off before the program ends.
    form->Button9->setFocus();
    QTest::keyClick(form->Button9, Qt::Key_Space);
    pump(150);
    const qsizetype before = commands().size();
    activate();
    form->Edit1->setFocus();
    QTest::keySequence(form.get(), form->Exit1->shortcut());
    pump(150);
    EXPECT_EQ(platform.terminateRequests, 1);
    QStringList wire;
    for (const QString& command : commands().mid(before))
        wire << command.trimmed();
    ASSERT_FALSE(wire.isEmpty());
    EXPECT_EQ(wire.first(), QStringLiteral("RY 0"));
}
