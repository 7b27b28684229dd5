// The dialog base: modal results, modeless life, keyboard rules and command routing.

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "platform/window/Dialog.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using yav::testing::ModalAnswer;

class ProbeDialog : public yav::Dialog {
public:
    explicit ProbeDialog(QWidget* parent = nullptr) : yav::Dialog(133, parent) {
        resize(200, 100);
        button = new QPushButton("Apply", this);
        yav::SetControlId(button, 1040);
        yav::ConnectClickCommand(button);
        edit = new QPlainTextEdit(this);
        edit->move(0, 40);
    }

    int inits = 0;
    int oks = 0;
    int cancels = 0;
    int endInInit = 0;  // EndDialog code given inside OnInitDialog, 0 for none
    bool swallowKeys = false;
    std::vector<int> commands;
    QPushButton* button;
    QPlainTextEdit* edit;

protected:
    BOOL OnInitDialog() override {
        yav::Dialog::OnInitDialog();
        ++inits;
        if (endInInit != 0) {
            EndDialog(endInInit);
        }
        return 1;
    }
    void OnOK() override {
        ++oks;
        yav::Dialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        yav::Dialog::OnCancel();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == 1040) {
            EndDialog(1040);
            return 1;
        }
        return yav::Dialog::OnCommand(wParam, lParam);
    }
    BOOL PreTranslateMessage(yav::Msg* msg) override {
        if (swallowKeys && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
            return 1;
        }
        return yav::Dialog::PreTranslateMessage(msg);
    }
};

TEST(DialogModal, ReturnsTheEndDialogCodeAndIsGoneAfterwards) {
    ProbeDialog dialog;
    bool visibleInLoop = false;
    ModalAnswer answer([&](yav::Dialog& d) {
        visibleInLoop = d.isVisible() && d.IsRunningModal();
        d.EndDialog(77);
    });
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.AnsweredDialog(), &dialog);
    EXPECT_TRUE(visibleInLoop);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_FALSE(dialog.isVisible());
}

TEST(DialogModal, EndingDuringInitialisationReturnsWithoutShowing) {
    ProbeDialog dialog;
    dialog.endInInit = IDCANCEL;
    ModalAnswer answer([](yav::Dialog& d) { d.EndDialog(1); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(answer.Answered()) << "the loop never ran";
}

TEST(DialogModal, NestedModalDialogsEachGetTheirOwnResult) {
    ProbeDialog outer;
    ProbeDialog inner(&outer);
    int innerResult = 0;
    ModalAnswer first([&](yav::Dialog& d) {
        ModalAnswer second([](yav::Dialog& nested) { nested.EndDialog(IDOK); });
        innerResult = inner.DoModal();
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(inner.GetParentWnd(), &outer);
}

TEST(DialogModal, AnEndedDialogLeavesTheScreenBeforeItsLoopReturns) {
    // The owner ends the outer dialog and runs the next window from inside its loop: the ended
    // dialog must not stay on screen under (or over) that window.
    ProbeDialog outer;
    ProbeDialog next;
    bool outerVisibleWhileNextRuns = true;
    ModalAnswer first([&](yav::Dialog& d) {
        d.EndDialog(IDOK);
        ModalAnswer second([&](yav::Dialog& nested) {
            outerVisibleWhileNextRuns = outer.isVisible();
            nested.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(next.DoModal(), IDCANCEL);
    });
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_FALSE(outerVisibleWhileNextRuns);
}

// Answers registered together go to the dialogs in the order the dialogs run, one each.
TEST(DialogModal, RegisteredAnswersAreTakenInOrderOnePerDialog) {
    enum class Run { InSequence, SameDialogTwice, SecondFromTheFirstsAnswer, EndedLater };
    struct Case {
        const char* name;
        Run run;
    };
    const Case cases[] = {
        {"second opened after the first returned", Run::InSequence},
        {"one dialog run twice", Run::SameDialogTwice},
        {"second opened from the first's answer", Run::SecondFromTheFirstsAnswer},
        {"answers that end their dialog from a later event", Run::EndedLater},
    };
    constexpr int kUnanswered = -2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeDialog a;
        ProbeDialog b;
        ProbeDialog& second = c.run == Run::SameDialogTwice ? a : b;
        // An unanswered dialog would wait forever: end it so that the test fails instead.
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            for (ProbeDialog* d : {&a, &b}) {
                if (d->IsRunningModal()) {
                    d->EndDialog(kUnanswered);
                }
            }
        });
        watchdog.start(3000);

        std::vector<std::pair<int, yav::Dialog*>> answered;
        int secondResult = 0;
        auto end = [&c](yav::Dialog& d, int code) {
            if (c.run == Run::EndedLater) {
                QTimer::singleShot(0, &d, [&d, code] { d.EndDialog(code); });
            } else {
                d.EndDialog(code);
            }
        };
        ModalAnswer first([&](yav::Dialog& d) {
            answered.emplace_back(1, &d);
            if (c.run == Run::SecondFromTheFirstsAnswer) {
                secondResult = second.DoModal();
            }
            end(d, 11);
        });
        ModalAnswer secondAnswer([&](yav::Dialog& d) {
            answered.emplace_back(2, &d);
            end(d, 22);
        });
        EXPECT_EQ(a.DoModal(), 11);
        if (c.run != Run::SecondFromTheFirstsAnswer) {
            secondResult = second.DoModal();
        }
        EXPECT_EQ(secondResult, 22);
        const std::vector<std::pair<int, yav::Dialog*>> expected = {{1, &a}, {2, &second}};
        EXPECT_EQ(answered, expected);
        EXPECT_EQ(first.AnsweredDialog(), &a);
        EXPECT_EQ(secondAnswer.AnsweredDialog(), &second);
    }
}

TEST(DialogKeys, EscapeCancelsEnterConfirms) {
    struct Case {
        Qt::Key key;
        int result;
    };
    for (const Case& c :
         {Case{Qt::Key_Escape, IDCANCEL}, Case{Qt::Key_Return, IDOK}, Case{Qt::Key_Enter, IDOK}}) {
        ProbeDialog dialog;
        ModalAnswer answer([&](yav::Dialog& d) { QTest::keyClick(&d, c.key); });
        EXPECT_EQ(dialog.DoModal(), c.result) << c.key;
        EXPECT_EQ(dialog.oks, c.result == IDOK ? 1 : 0);
        EXPECT_EQ(dialog.cancels, c.result == IDCANCEL ? 1 : 0);
    }
}

TEST(DialogKeys, EnterOnAFocusedButtonIsThatButtonsCommand) {
    ProbeDialog dialog;
    ModalAnswer answer([&](yav::Dialog&) { QTest::keyClick(dialog.button, Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), 1040);
    EXPECT_EQ(dialog.oks, 0);
}

TEST(DialogKeys, MultiLineEditKeepsItsEnter) {
    ProbeDialog dialog;
    ModalAnswer answer([&](yav::Dialog& d) {
        QTest::keyClick(dialog.edit, Qt::Key_A);
        QTest::keyClick(dialog.edit, Qt::Key_Return);
        QTest::keyClick(dialog.edit, Qt::Key_B);
        d.EndDialog(5);
    });
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_EQ(dialog.edit->toPlainText(), "a\nb");
    EXPECT_EQ(dialog.oks, 0);
}

TEST(DialogKeys, SwallowedKeysNeverCloseAndNeverPressButtons) {
    ProbeDialog dialog;
    dialog.swallowKeys = true;
    ModalAnswer answer([&](yav::Dialog& d) {
        QTest::keyClick(&d, Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Return);
        QTest::keyClick(dialog.button, Qt::Key_Space);
        QTest::keyClick(dialog.edit, Qt::Key_Escape);
        d.EndDialog(9);
    });
    EXPECT_EQ(dialog.DoModal(), 9);
    EXPECT_EQ(dialog.oks + dialog.cancels, 0);
    EXPECT_TRUE(dialog.commands.empty()) << "Space did not click the button";
}

TEST(DialogKeys, AKeyForTheDialogAfterOneItsEditTookIsStillTheDialogs) {
    // Key events are often built in the same place one after the other; a new key that goes
    // straight to the dialog must not be taken for the edit's key passed on to its parent.
    QWidget owner;
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(133, &owner));
    dialog.ShowWindow(SW_SHOW);
    std::optional<QKeyEvent> key;
    key.emplace(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(dialog.edit, &*key);
    ASSERT_EQ(dialog.edit->toPlainText(), "a");
    key.emplace(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &*key);
    EXPECT_EQ(dialog.cancels, 1);
}

TEST(DialogKeys, OutsideCloseRequestIsTheCancelCommand) {
    ProbeDialog dialog;
    ModalAnswer answer([](yav::Dialog& d) {
        QCloseEvent close;
        QApplication::sendEvent(&d, &close);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.cancels, 1);
}

TEST(DialogModeless, CreateRunsInitOnceDestroyAllowsAnotherCreate) {
    QWidget owner;
    ProbeDialog dialog;
    EXPECT_FALSE(dialog.IsWindow());
    ASSERT_TRUE(dialog.Create(133, &owner));
    EXPECT_TRUE(dialog.IsWindow());
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_TRUE(dialog.isWindow()) << "a pop-up dialog is a window owned by its parent";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Create(133, &owner)) << "already exists";
    dialog.ShowWindow(SW_SHOW);
    dialog.EndDialog(IDOK);
    EXPECT_FALSE(dialog.isVisible()) << "EndDialog hides a modeless dialog";
    EXPECT_TRUE(dialog.IsWindow());
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.IsWindow());
    ASSERT_TRUE(dialog.Create(133, &owner));
    EXPECT_EQ(dialog.inits, 2);
}

TEST(DialogCommands, UnhandledMenuCommandsGoToTheParentWindow) {
    ProbeDialog room;
    ProbeDialog panel(&room);
    ASSERT_TRUE(room.Create(102));
    ASSERT_TRUE(panel.Create(134));
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(32785, 1), 0);
    ASSERT_EQ(room.commands.size(), 1u);
    EXPECT_EQ(room.commands[0], 32785);
    // Control ids below the menu range stay where they are.
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(1500, 0), 0);
    EXPECT_EQ(room.commands.size(), 1u);
}

}  // namespace
