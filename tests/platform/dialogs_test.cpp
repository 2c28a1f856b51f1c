#include "platform/dialogs.h"
#include "platform/qt_platform_services.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

class DialogQueueTest : public ::testing::Test {
protected:
    // The queue's own order, with answers from the event loop as a real box gives them.
    DialogQueueTest() { platform.answerAtOnce = false; }

    // An answered callback that notes "<name> answered" and how many dialogs had been shown
    // by then.
    std::function<void()> noteAnswer(const QString& name)
    {
        return [this, name] { answers << QStringLiteral("%1 answered after %2 shown").arg(name).arg(platform.dialogs.size()); };
    }

    test::RecordingPlatform platform;
    QStringList answers;
};

TEST_F(DialogQueueTest, ShowsOneAtATimeInTheOrderAsked)
{
    platform.holdDialogs = true;
    openDialog(DialogKind::Info, QStringLiteral("first"), [this] {
        answers << QStringLiteral("first answered after %1 shown").arg(platform.dialogs.size());
        // Asked for while the first is being answered: behind those already waiting.
        openDialog(DialogKind::Info, QStringLiteral("from the answer"), noteAnswer(QStringLiteral("from the answer")));
    });
    openDialog(DialogKind::Error, QStringLiteral("second"), noteAnswer(QStringLiteral("second")));
    openDialog(DialogKind::ApplicationError, QStringLiteral("third"), noteAnswer(QStringLiteral("third")));

    EXPECT_EQ(platform.dialogs, QStringList({"Info: first"}));
    EXPECT_EQ(platform.heldDialogs(), 1);
    EXPECT_TRUE(dialogsPending());
    for (int answered = 1; answered <= 4; ++answered) {
        platform.releaseDialogs();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == answered; }));
        // Nothing more is answered until the operator answers the next one.
        QTest::qWait(20);
        EXPECT_EQ(answers.size(), answered);
        EXPECT_EQ(platform.heldDialogs(), answered < 4 ? 1 : 0);
    }
    // Each answer has had its effect before the next dialog opened.
    EXPECT_EQ(answers, QStringList({"first answered after 1 shown", "second answered after 2 shown",
                                    "third answered after 3 shown", "from the answer answered after 4 shown"}));
    EXPECT_EQ(platform.dialogs,
              QStringList({"Info: first", "Error: second", "AppError: third", "Info: from the answer"}));
    EXPECT_FALSE(dialogsPending());
}

TEST_F(DialogQueueTest, ARoutineAwaitingADialogResumesOnlyAfterItsAnswer)
{
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "an earlier dialog held open" : "answered at once");
        platform.dialogs.clear();
        platform.holdDialogs = held;
        if (held)
            openDialog(DialogKind::Message, QStringLiteral("earlier"));
        QStringList trace;
        bool answered = false;
        Started routine = start([](QStringList& trace, bool& answered) -> Task<void> {
            trace << "asks";
            answered = co_await dialog(DialogKind::Info, QStringLiteral("mine"));
            trace << "resumed";
        }(trace, answered));
        // The call that asked has returned, answered or not.
        EXPECT_EQ(trace, QStringList({"asks"}));
        if (!held) {
            EXPECT_EQ(platform.dialogs, QStringList({"Info: mine"}));
        } else {
            EXPECT_EQ(platform.dialogs, QStringList({"Message: earlier"}));
            platform.releaseDialogs();
            ASSERT_TRUE(QTest::qWaitFor([&] { return platform.dialogs.size() == 2; }));
            QTest::qWait(20);
            EXPECT_EQ(trace, QStringList({"asks"})) << "resumed before its own dialog was answered";
            platform.releaseDialogs();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !routine.running(); }));
        EXPECT_EQ(trace, QStringList({"asks", "resumed"}));
        EXPECT_TRUE(answered);
        EXPECT_EQ(platform.dialogs.constLast(), "Info: mine");
    }
}

TEST_F(DialogQueueTest, ACancelledWaitResumesEarlyAndLeavesItsDialogInTheQueue)
{
    platform.holdDialogs = true;
    openDialog(DialogKind::Info, QStringLiteral("earlier"));
    Cancellation cancellation;
    bool answered = true, resumed = false;
    Started routine = start([](Cancellation& c, bool& answered, bool& resumed) -> Task<void> {
        answered = co_await dialog(DialogKind::Error, QStringLiteral("mine"), &c);
        resumed = true;
    }(cancellation, answered, resumed));
    QTimer::singleShot(10, [&] {
        cancellation.cancel();
        EXPECT_FALSE(resumed) << "resumed inside cancel()";
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return resumed; }));
    EXPECT_FALSE(answered);

    // The operator still reads it, in its turn; its late answer reaches nobody.
    EXPECT_EQ(platform.dialogs, QStringList({"Info: earlier"}));
    platform.releaseDialogs();
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform.dialogs.size() == 2; }));
    EXPECT_EQ(platform.dialogs.constLast(), "Error: mine");
    EXPECT_TRUE(dialogsPending());
    platform.releaseDialogs();
    ASSERT_TRUE(QTest::qWaitFor([] { return !dialogsPending(); }));
}

TEST_F(DialogQueueTest, HeldDialogsOfBothKindsAreCountedAndReleasedOldestFirst)
{
    platform.holdDialogs = true;
    // Opened through the platform itself, no queue: both are up at once.
    platform.openDialog(DialogKind::Info, QStringLiteral("a"), noteAnswer(QStringLiteral("a")));
    platform.openDialog(DialogKind::Info, QStringLiteral("b"), noteAnswer(QStringLiteral("b")));
    EXPECT_EQ(platform.heldDialogs(), 2);
    // A modal one on top, released from inside its own wait.
    int heldWithModal = 0;
    bool answeredInsideRelease = false;
    platform.onDialog = [&](const QString&) {
        QTimer::singleShot(10, [&] {
            heldWithModal = platform.heldDialogs();
            platform.releaseDialogs();
            answeredInsideRelease = !answers.isEmpty();
        });
    };
    platform.showError(QStringLiteral("modal"));
    EXPECT_EQ(heldWithModal, 3);
    EXPECT_FALSE(answeredInsideRelease);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers, QStringList({"a answered after 3 shown", "b answered after 3 shown"}));
    EXPECT_EQ(platform.heldDialogs(), 0);
}

TEST_F(DialogQueueTest, DismissAnswersEveryDialogAndEveryLaterOne)
{
    platform.holdDialogs = true;
    for (const char* name : {"one", "two", "three"})
        openDialog(DialogKind::Info, QString::fromLatin1(name), noteAnswer(QString::fromLatin1(name)));
    bool allAnswered = false;
    Started waiting = start([](bool& allAnswered) -> Task<void> { allAnswered = co_await dialogsAnswered(); }(allAnswered));
    platform.dismissDialogs();
    ASSERT_TRUE(QTest::qWaitFor([&] { return allAnswered; }));
    EXPECT_FALSE(dialogsPending());
    EXPECT_EQ(answers, QStringList({"one answered after 1 shown", "two answered after 2 shown",
                                    "three answered after 3 shown"}));

    openDialog(DialogKind::Error, QStringLiteral("later"), noteAnswer(QStringLiteral("later")));
    EXPECT_EQ(answers.size(), 3) << "answered inside openDialog()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 4; }));
    EXPECT_EQ(platform.dialogs.constLast(), "Error: later");
}

// A test whose operator left with a dialog open leaves the next test an empty queue.
TEST_F(DialogQueueTest, ARecorderTakesItsUnansweredDialogsWithIt)
{
    {
        test::RecordingPlatform gone;
        gone.holdDialogs = true;
        openDialog(DialogKind::Info, QStringLiteral("left open"), [] { ADD_FAILURE() << "answered after its test"; });
        openDialog(DialogKind::Info, QStringLiteral("never shown"));
        EXPECT_TRUE(dialogsPending());
    }
    EXPECT_FALSE(dialogsPending());
    openDialog(DialogKind::Info, QStringLiteral("next test's"));
    EXPECT_EQ(platform.dialogs, QStringList({"Info: next test's"}));
    ASSERT_TRUE(QTest::qWaitFor([] { return !dialogsPending(); }));
}

// A platform that only has the modal calls (as the benchmarks' do) still opens and answers.
TEST(DialogDefault, ShownModallyThenAnsweredFromTheEventLoop)
{
    class ModalOnly final : public PlatformServices {
    public:
        QStringList shown;
        void showInfo(const QString& text) override { shown << "info " + text; }
        void showError(const QString& text) override { shown << "error " + text; }
        void showMessage(const QString& text) override { shown << "message " + text; }
        void showApplicationError(const QString& text) override { shown << "application error " + text; }
        void beep() override {}
        std::uint32_t tickCount() override { return 0; }
        QDateTime now() override { return {}; }
        QString localAppDataFolder() override { return {}; }
        QString userFolder(UserFolder) override { return {}; }
        QString askSaveFileName(const QString&, const QString&, const QString&, QString*) override { return {}; }
        bool shellOpen(const QString&) override { return false; }
        QRect workArea() override { return {}; }
        void terminate() override {}
        bool terminating() override { return false; }
    } modalOnly;
    int answered = 0;
    for (const DialogKind kind : {DialogKind::Info, DialogKind::Error, DialogKind::Message, DialogKind::ApplicationError})
        modalOnly.openDialog(kind, QStringLiteral("text"), [&answered] { ++answered; });
    EXPECT_EQ(modalOnly.shown,
              QStringList({"info text", "error text", "message text", "application error text"}));
    EXPECT_EQ(answered, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered == 4; }));
}

QList<QMessageBox*> visibleBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

TEST(QtDialogs, OpenShowsTheBoxAndReturnsAtOnce)
{
    const QString title = QGuiApplication::applicationDisplayName();
    const struct {
        DialogKind kind;
        QString caption;
        QMessageBox::Icon icon;
    } cases[] = {
        {DialogKind::Info, QStringLiteral("Information"), QMessageBox::Information},
        {DialogKind::Error, QStringLiteral("Error"), QMessageBox::Critical},
        {DialogKind::Message, title, QMessageBox::NoIcon},
        {DialogKind::ApplicationError, title, QMessageBox::Critical},
    };
    QtPlatformServices services;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        test::LogCapture log;
        bool answered = false;
        services.openDialog(c.kind, QStringLiteral("Run Stopped\r\nNumber Cycles"), [&answered] { answered = true; });
        // Logged when it opens, with the text as the program gave it.
        EXPECT_EQ(log.messages(QStringLiteral("velmar.dialog"), QtInfoMsg),
                  QStringList({c.caption + QStringLiteral(": Run Stopped\r\nNumber Cycles")}));
        const QList<QMessageBox*> boxes = visibleBoxes();
        ASSERT_EQ(boxes.size(), 1);
        QPointer<QMessageBox> box = boxes.constFirst();
        EXPECT_EQ(box->windowTitle(), c.caption);
        EXPECT_EQ(box->text(), QStringLiteral("Run Stopped\nNumber Cycles"));
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        QTest::qWait(20);
        EXPECT_FALSE(answered);

        box->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered && !box; }));
        EXPECT_TRUE(visibleBoxes().isEmpty());
    }
}

TEST(QtDialogs, TheQueueShowsOneBoxAtATimeInFrontOfTheWindow)
{
    QtPlatformServices services;
    PlatformServices* previous = installPlatform(&services);
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList answered;
    openDialog(DialogKind::Info, QStringLiteral("first"), [&] { answered << "first"; });
    openDialog(DialogKind::Error, QStringLiteral("second"), [&] { answered << "second"; });
    for (const QString& text : {QStringLiteral("first"), QStringLiteral("second")}) {
        ASSERT_TRUE(QTest::qWaitFor([] { return visibleBoxes().size() == 1; }));
        QPointer<QMessageBox> box = visibleBoxes().constFirst();
        EXPECT_EQ(box->text(), text);
        // Owned by the window, not by the box before it, which goes once answered.
        EXPECT_EQ(box->parentWidget(), &window);
        // The box the operator reads is the active window when the next one opens.
        ASSERT_TRUE(QTest::qWaitForWindowActive(box));
        box->accept();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !box; }));
        EXPECT_EQ(answered.constLast(), text);
    }
    EXPECT_FALSE(dialogsPending());
    installPlatform(previous);
}

// Opened straight through the platform, a box may come up while another is the active window:
// answering that one must not take the newer box with it.
TEST(QtDialogs, ABoxOpenedOverAnotherOutlivesIt)
{
    QtPlatformServices services;
    QStringList answered;
    services.openDialog(DialogKind::Info, QStringLiteral("first"), [&] { answered << "first"; });
    QPointer<QMessageBox> first = visibleBoxes().constFirst();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    services.openDialog(DialogKind::Info, QStringLiteral("second"), [&] { answered << "second"; });
    first->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first; }));
    const QList<QMessageBox*> boxes = visibleBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.constFirst()->text(), "second");
    boxes.constFirst()->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered.size() == 2; }));
    EXPECT_EQ(answered, QStringList({"first", "second"}));
}

// Last in this file: once dismissing, the services go on closing whatever modal dialog opens.
TEST(QtDialogs, DismissClosesEveryOpenBoxAndAnswersLaterOnesAtOnce)
{
    QtPlatformServices services;
    QStringList answered;
    services.openDialog(DialogKind::Info, QStringLiteral("first"), [&] { answered << "first"; });
    services.openDialog(DialogKind::Error, QStringLiteral("second"), [&] { answered << "second"; });
    ASSERT_EQ(visibleBoxes().size(), 2);
    services.dismissDialogs();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered.size() == 2; }));
    EXPECT_TRUE(visibleBoxes().isEmpty());

    test::LogCapture log;
    services.openDialog(DialogKind::Message, QStringLiteral("later"), [&] { answered << "later"; });
    EXPECT_TRUE(visibleBoxes().isEmpty());
    EXPECT_EQ(answered.size(), 2) << "answered inside openDialog()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered.size() == 3; }));
    EXPECT_EQ(log.messages(QStringLiteral("velmar.dialog"), QtInfoMsg),
              QStringList({QGuiApplication::applicationDisplayName() + QStringLiteral(": later")}));
    // Answered once each, though two ways of dismissing reached the first boxes.
    QTest::qWait(120);
    EXPECT_EQ(answered, QStringList({"first", "second", "later"}));
}

}  // namespace
