// The handler guard: exceptions escaping a handler or any Qt event end up in the error
// display and nowhere else.
#include "HandlerGuard.h"
#include "GuardedApplication.h"
#include "ScriptedPrompts.h"

#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <stdexcept>

namespace {

class TThrowingPrompts : public ScriptedPrompts {
  public:
    void ShowError(const QString& Text) override {
        ScriptedPrompts::ShowError(Text);
        throw std::runtime_error("display failed");
    }
};

class TThrowingWidget : public QWidget {
  protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("Illegal track or sector!"); }
};

} // namespace

class HandlerGuardTest : public QObject {
    Q_OBJECT

    ScriptedPrompts& FAppPrompts;

  public:
    explicit HandlerGuardTest(ScriptedPrompts& AppPrompts) : FAppPrompts(AppPrompts) {}

  private slots:
    void init() { FAppPrompts.Clear(); }

    void HandlerThatEndsShowsNothing() {
        ScriptedPrompts Prompts;
        bool Ran = false;
        QVERIFY(RunGuarded(Prompts, [&] { Ran = true; }));
        QVERIFY(Ran);
        QVERIFY(Prompts.Shown.isEmpty());
    }

    void EscapingExceptionsAreShown() {
        ScriptedPrompts Prompts;
        QVERIFY(!RunGuarded(Prompts, [] { throw std::runtime_error("Disk is full!"); }));
        QVERIFY(!RunGuarded(Prompts, [] { throw std::logic_error("Name \xE9\xA0"); }));
        QVERIFY(!RunGuarded(Prompts, [] { throw 42; }));
        QCOMPARE(Prompts.Errors(), (QStringList{"Disk is full!", QString("Name ") + QChar(0xE9) + QChar(0xA0),
                                                "Unknown error"}));
        QCOMPARE(Prompts.Shown.size(), 3);
    }

    void FailingErrorDisplayDoesNotEscape() {
        TThrowingPrompts Prompts;
        QVERIFY(!RunGuarded(Prompts, [] { throw std::runtime_error("first"); }));
        QCOMPARE(Prompts.Errors(), QStringList{"first"});
    }

    void ExceptionFromASlotIsShown() {
        QTimer::singleShot(0, [] { throw std::runtime_error("Disk is Soft Write Protected!"); });
        QTRY_COMPARE(FAppPrompts.Errors(), QStringList{"Disk is Soft Write Protected!"});
    }

    void ExceptionFromAnEventHandlerIsShown() {
        TThrowingWidget Widget;
        Widget.resize(50, 50);
        Widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Widget));
        // The event counts as not handled, which QTest mentions.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not accepted"));
        QTest::mouseClick(&Widget, Qt::LeftButton);
        QCOMPARE(FAppPrompts.Errors(), QStringList{"Illegal track or sector!"});
        // The application still delivers events afterwards.
        bool Delivered = false;
        QTimer::singleShot(0, [&] { Delivered = true; });
        QTRY_VERIFY(Delivered);
    }
};

int main(int argc, char** argv) {
    ScriptedPrompts Prompts;
    TGuardedApplication App(argc, argv, Prompts);
    HandlerGuardTest Test(Prompts);
    return QTest::qExec(&Test, argc, argv);
}

#include "HandlerGuardTest.moc"
