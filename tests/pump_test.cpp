#include <QTest>

#include "serial/failures.h"
#include "tests/support/form_fixture.h"
#include "tests/support/programming_errors.h"

// The waiting primitive the long procedures are written with.
class Pump_test : public Form_test {};

TEST_F(Pump_test, WaiterWakesOnAHashLineAndOnATimerTick) {
    Vimbo_form& f = make_form();
    open_port(3);
    board().deliver_after(250, "noise\r#$\r");
    std::int64_t woke_at = -1;
    f.handle([&] {
        f.pump.wait_until([&] { return f.state.Rx_reply.startsWith('#'); });
        woke_at = clock_.now_ms();
    });
    EXPECT_EQ(woke_at, 250);
    EXPECT_EQ(f.state.Rx_reply, "#$");
    EXPECT_EQ(log_lines().last(), "noise");

    f.Timer2->set_interval(4500);
    f.state.Timer2_expired = false;
    f.Timer2->set_enabled(true);
    f.handle([&] {
        f.pump.wait_until([&] { return f.state.Timer2_expired; });
        woke_at = clock_.now_ms();
    });
    EXPECT_EQ(woke_at, 250 + 4500);
    EXPECT_FALSE(clock_.stalled());
}

TEST_F(Pump_test, ClicksRunWhileAProcedureWaitsAndCanEndTheWait) {
    Vimbo_form& f = make_form();
    f.show();
    bool second_press_ran = false;
    QObject::connect(f.Cmd_read_infos, &QPushButton::clicked, [&] { second_press_ran = true; });
    clock_.at(1000, [&] { QTest::mouseClick(f.Cmd_read_infos, Qt::LeftButton); });
    std::int64_t woke_at = -1;
    f.handle([&] {
        f.pump.wait_until([&] { return second_press_ran; });
        woke_at = clock_.now_ms();
    });
    EXPECT_EQ(woke_at, 1000);
}

TEST_F(Pump_test, ExitFromInsideAWaitEndsTheProgramAtOnce) {
    Vimbo_form& f = make_form();
    f.show();
    open_port(3);
    QFile partial(path("partial.eep"));
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    f.files.add(&partial);
    clock_.at(3000, [&] { QTest::mouseClick(f.Cmd_exit, Qt::LeftButton); });
    bool went_on = false;
    f.handle([&] {
        f.pump.wait_until([] { return false; });
        went_on = true;
    });
    f.files.remove(&partial);
    EXPECT_FALSE(went_on);
    EXPECT_FALSE(clock_.stalled());
    EXPECT_EQ(clock_.now_ms(), 3000);
    EXPECT_EQ(quit_calls_, 1);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_FALSE(partial.isOpen());
    EXPECT_TRUE(f.isHidden());
    // No handler runs any more.
    bool ran = false;
    f.handle([&] { ran = true; });
    EXPECT_FALSE(ran);
}

TEST_F(Pump_test, ClosingTheWindowFromItsFrameDoesWhatExitDoes) {
    Vimbo_form& f = make_form();
    f.show();
    open_port(3);
    f.close();
    EXPECT_EQ(quit_calls_, 1);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_TRUE(f.pump.ending());
}

TEST_F(Pump_test, YieldRunsPendingEventsWithoutMovingTheClock) {
    Vimbo_form& f = make_form();
    open_port(3);
    board().deliver("OK\r");
    board().deliver_after(10, "later\r");
    f.handle([&] { f.pump.yield(); });
    EXPECT_EQ(clock_.now_ms(), 0);
    // One round of notifications runs to the end of the line.
    EXPECT_EQ(log_lines().last(), "OK");
    EXPECT_EQ(f.state.Rx_partial, "");
    clock_.run_pending();
    EXPECT_EQ(log_lines().last(), "OK");
}

TEST_F(Pump_test, AWaiterSeesEachHashLineEvenWhenTwoArriveTogether) {
    Vimbo_form& f = make_form();
    open_port(3);
    board().deliver_after(5, "#first\r#second\r");
    QStringList seen;
    f.handle([&] {
        f.pump.wait_until([&] {
            if (!f.state.Rx_reply.isEmpty()) {
                seen << f.state.Rx_reply;
                f.state.Rx_reply.clear();
            }
            return seen.size() == 2;
        });
    });
    EXPECT_EQ(seen, (QStringList{"#first", "#second"}));
}

TEST_F(Pump_test, AHandlerEndedByABugSaysSoWithItsNameARunTimeFailureStaysSilent) {
    Vimbo_form& f = make_form();
    f.show();
    Expected_programming_errors expected;
    bool went_on = false;
    f.handle(
        [&] {
            throw Runtime_failure("the port refused");
            went_on = true;
        },
        "Cmd_com_usb_Click");
    EXPECT_TRUE(expected.warnings.isEmpty());
    f.handle([] { throw std::logic_error("index out of range"); }, "Cmd_send_cmd_Click");
    ASSERT_EQ(expected.warnings.size(), 1);
    EXPECT_EQ(expected.warnings[0], "Programming error in Cmd_send_cmd_Click: index out of range");
    // A handler connected to a control is named by the control and its signal.
    f.on(f.Cmd_reserve_1, &QPushButton::clicked, [] { throw std::out_of_range("row 7"); });
    QTest::mouseClick(f.Cmd_reserve_1, Qt::LeftButton);
    ASSERT_EQ(expected.warnings.size(), 2);
    EXPECT_EQ(expected.warnings[1], "Programming error in Cmd_reserve_1.clicked: row 7");
    // The window goes on: the next handler runs as usual.
    f.handle([&] { went_on = true; });
    EXPECT_TRUE(went_on);
}
