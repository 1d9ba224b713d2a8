#include <QTest>
#include <optional>

#include "app/form_transfer_view.h"
#include "base/colors.h"
#include "eeprom/dump_sink.h"
#include "eeprom/eeprom_dump.h"
#include "tests/eeprom_board_script.h"
#include "tests/support/form_fixture.h"
#include "transfer/transfer_buttons.h"
#include "transfer/transfer_steps.h"

// The pieces the transfers are made of, on the window's link and view.
class Transfer_steps_test : public Form_test {
  protected:
    // Runs a step inside a handler: why it stopped, or nothing when it ran through.
    std::optional<QString> stop_of(const std::function<void()>& step) {
        std::optional<QString> why;
        form().handle([&] {
            try {
                step();
            } catch (const Transfer_stopped& stop) {
                why = stop.why;
            }
        });
        return why;
    }
};

TEST_F(Transfer_steps_test, SignOnWaitTakesTheAcceptedBytesOnlyAndACancelStopsIt) {
    Vimbo_form& f = make_form();
    open_port(3);
    Transfer_steps steps(form_transfer_link(f));
    // The loader's sign-on is none for a procedure that takes the board's own only: the wait
    // goes on until the cancel, which stops it with nothing to tell.
    board().deliver_after(100, "#\xD0\r");
    bool cancel = false;
    clock_.at(2000, [&] { cancel = true; });
    std::optional<QString> why =
        stop_of([&] { steps.wait_for_sign_on({0xBE}, [&] { return cancel; }); });
    ASSERT_TRUE(why.has_value());
    EXPECT_TRUE(why->isEmpty());
    EXPECT_EQ(clock_.now_ms(), 2000);
    // A procedure that takes both goes on at once on the line still in the mailbox.
    why = stop_of([&] { steps.wait_for_sign_on({0xBE, 0xD0}, [] { return false; }); });
    EXPECT_FALSE(why.has_value());
    EXPECT_EQ(clock_.now_ms(), 2000);
    // A cancel wins over a sign-on that is there as well.
    why = stop_of([&] { steps.wait_for_sign_on({0xD0}, [] { return true; }); });
    EXPECT_TRUE(why.has_value());
    EXPECT_TRUE(port_.writes.empty());
}

TEST_F(Transfer_steps_test, PausesAndReplyWaitsEndOnTheirOwnEvents) {
    Vimbo_form& f = make_form();
    open_port(3);
    Transfer_steps steps(form_transfer_link(f));
    const Timeout& t1 = steps.link().timer1;
    // A pause lasts its interval and leaves the timer off; one that may be cut short ends at
    // the interruption.
    f.handle([&] { steps.pause(t1, 500); });
    EXPECT_EQ(clock_.now_ms(), 500);
    EXPECT_TRUE(f.state.Timer1_expired);
    EXPECT_FALSE(f.Timer1->enabled());
    bool cut = false;
    clock_.after(100, [&] { cut = true; });
    f.handle([&] { steps.pause(t1, 500, [&] { return cut; }); });
    EXPECT_EQ(clock_.now_ms(), 600);
    EXPECT_FALSE(f.state.Timer1_expired);

    // A reply wait ends at the first line it accepts, else at its timeout.
    board().deliver_after(50, "#x\r");
    board().deliver_after(80, "#$\r");
    steps.arm(t1, 4500);
    f.handle([&] {
        steps.wait_for_reply(
            t1, [](const QString& r) { return r == QLatin1String("#$"); }, [] { return false; });
    });
    EXPECT_EQ(clock_.now_ms(), 680);
    EXPECT_EQ(f.state.Rx_reply, "#$");
    EXPECT_FALSE(f.state.Timer1_expired);
    f.state.Rx_reply.clear();
    steps.arm(t1, 4500);
    f.handle([&] {
        steps.wait_for_reply(
            t1, [](const QString& r) { return !r.isEmpty(); }, [] { return false; });
    });
    EXPECT_EQ(clock_.now_ms(), 680 + 4500);
    EXPECT_TRUE(f.state.Timer1_expired);
    steps.disarm(t1);
    EXPECT_FALSE(f.state.Timer1_expired);
    EXPECT_FALSE(f.Timer1->enabled());
}

TEST_F(Transfer_steps_test, TheBusyLookIsTheCaptionTheWindowsButtonShows) {
    Vimbo_form& f = make_form();
    Transfer_view& view = f.transfer_view();
    using namespace transfer_buttons;
    EXPECT_FALSE(another_is_busy(view, Transfer_button::update));
    make_busy(view, Transfer_button::read_eeprom, colors::kRed);
    EXPECT_EQ(f.Cmd_read_eeprom->text(), "BUSY!");
    EXPECT_EQ(f.Cmd_read_eeprom->back_color(), colors::kRed);
    EXPECT_TRUE(another_is_busy(view, Transfer_button::update));
    EXPECT_TRUE(another_is_busy(view, Transfer_button::write_eeprom));
    EXPECT_FALSE(another_is_busy(view, Transfer_button::read_eeprom));
    // The test is exact: another caption is no lock, and no idle look either.
    f.Cmd_read_eeprom->setText(QStringLiteral("Busy!"));
    EXPECT_FALSE(another_is_busy(view, Transfer_button::update));
    EXPECT_FALSE(shows_idle(view, Transfer_button::read_eeprom));
    make_busy(view, Transfer_button::write_eeprom, colors::kMagenta);
    make_idle(view, Transfer_button::write_eeprom);
    EXPECT_EQ(f.Cmd_write_eeprom->text(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    make_idle(view, Transfer_button::update);
    EXPECT_EQ(f.Cmd_update_vimbo->text(), "UPDATE");
    EXPECT_TRUE(shows_idle(view, Transfer_button::update));
}

namespace {
// Keeps the dump in memory, as a compare with a backup would.
struct Memory_sink : Dump_sink {
    QStringList data;
    bool opened = false;
    bool finished = false;
    int abandoned = 0;
    void open() override { opened = true; }
    void take(int address, QStringView line) override {
        EXPECT_EQ(address, data.size() * 16);
        data.append(line.toString());
    }
    void finish(const eep::Model&) override { finished = true; }
    void abandon() override { ++abandoned; }
};
}  // namespace

TEST_F(Transfer_steps_test, TheReadsStepsHandTheCheckedLinesToAnySinkAndStopWithTheirReason) {
    Vimbo_form& f = make_form();
    open_port(3);
    Eeprom_board_script board_script;
    board_script.image = Eeprom_board_script::make_image(1024, 7);
    port_.on_write = [&](const QByteArray& bytes) {
        board_script.receive(
            bytes, [&](std::int64_t ms, const QByteArray& b) { board().deliver_after(ms, b); },
            [&](std::int64_t ms, std::function<void()> fn) { clock_.after(ms, std::move(fn)); });
    };
    transfer_buttons::make_busy(f.transfer_view(), Transfer_button::read_eeprom, colors::kRed);
    Eeprom_dump dump(form_transfer_link(f), f.transfer_view(), Transfer_button::read_eeprom);
    const eep::Model& model = *eep::model_for_name(QStringLiteral("2418.eep"));

    board().deliver_after(100, "#\xBE\r");
    Memory_sink sink;
    EXPECT_FALSE(stop_of([&] { dump.run(model, sink); }).has_value());
    EXPECT_TRUE(sink.opened);
    EXPECT_TRUE(sink.finished);
    ASSERT_EQ(sink.data.size(), 64);
    EXPECT_EQ(sink.data[0], QString::fromLatin1(board_script.dump_line(1).mid(1, 32)));
    EXPECT_EQ(sink.data[63], QString::fromLatin1(board_script.dump_line(64).mid(1, 32)));
    EXPECT_TRUE(QDir().entryList({QStringLiteral("*.eep*")}, QDir::Files).isEmpty());

    // A bad character stops the dump with the log's text as the reason; the lines before it
    // are in the sink, the sink is not finished.
    board_script.replace[3] = "#a" + board_script.dump_line(3).mid(2);
    board().deliver_after(100, "#\xBE\r");
    Memory_sink cut;
    const std::optional<QString> why = stop_of([&] { dump.run(model, cut); });
    ASSERT_TRUE(why.has_value());
    EXPECT_EQ(*why, "Error Receiving Eeprom Chr! (a) Asc97");
    EXPECT_EQ(cut.data.size(), 2);
    EXPECT_FALSE(cut.finished);

    // The own button's idle caption is the cancel, seen at the next step.
    board().deliver_after(100, "#\xBE\r");
    clock_.after(
        700, [&] { transfer_buttons::make_idle(f.transfer_view(), Transfer_button::read_eeprom); });
    Memory_sink cancelled;
    const std::optional<QString> cancel_why = stop_of([&] { dump.run(model, cancelled); });
    ASSERT_TRUE(cancel_why.has_value());
    EXPECT_TRUE(cancel_why->isEmpty());
    EXPECT_TRUE(cancelled.data.isEmpty());
}
