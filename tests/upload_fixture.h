#pragma once
#include <QTest>
#include <map>

#include "app/control_table.h"
#include "tests/support/form_fixture.h"
#include "upload/update_vimbo.h"
#include "upload/upload_commands.h"

// A window with an open port and a scripted board loader on the virtual clock.
// What every ending of an upload leaves on the window: both transfer buttons idle, the
// clean-up title and the command line back in AT red.
inline void expect_transfer_buttons_idle(const Vimbo_form& f) {
    EXPECT_EQ(f.Cmd_update_vimbo->caption(), "UPDATE");
    EXPECT_TRUE(f.Cmd_update_vimbo->has_normal_face());
    EXPECT_EQ(f.Cmd_write_eeprom->caption(), "Write EEP");
    EXPECT_TRUE(f.Cmd_write_eeprom->has_normal_face());
    EXPECT_EQ(f.title(), " VIMBO .....");
    EXPECT_EQ(f.Text_Cmd->back_color(), QColor(255, 0, 0));
}

class Upload_test : public Form_test {
  protected:
    struct Sent {
        std::int64_t at_ms;
        QByteArray bytes;
        bool operator==(const Sent&) const = default;
        friend void PrintTo(const Sent& s, std::ostream* os) {
            *os << "{" << s.at_ms << " ms, " << s.bytes.toHex(' ').toStdString() << "}";
        }
    };

    Vimbo_form& ready() {
        Vimbo_form& f = make_form();
        open_port(3);
        f.show();
        f.List_1->clear_items();
        f.set_title(QString());
        script_loader();
        return f;
    }

    // The loader: after the start byte its id and then its first request; after each line
    // (a write ending in CR) the answer for that line, by default "#$". An empty text is
    // no answer at all.
    void script_loader() {
        port_.on_write = [this](const QByteArray& bytes) {
            if (on_each_write) on_each_write(bytes);
            if (bytes == QByteArray(1, char(0xB2))) {
                lines_received_ = 0;
                if (!id_.isEmpty()) board().deliver_after(id_after_ms_, id_ + "\r");
                if (!first_request_.isEmpty()) {
                    board().deliver_after(first_request_after_ms_, first_request_ + "\r");
                }
                return;
            }
            if (!bytes.endsWith('\r')) return;
            ++lines_received_;
            const auto it = replies_.find(lines_received_);
            const QByteArray reply = it != replies_.end() ? it->second : default_reply_;
            if (!reply.isEmpty()) board().deliver_after(reply_after_ms_, reply + "\r");
        };
    }

    // The board's sign-on line, "#", the sign-on byte and more, at time t.
    void sign_on_at(std::int64_t t, char sign_on_byte = char(0xBE)) {
        clock_.at(t, [this, sign_on_byte] {
            board().deliver(QByteArray("#") + sign_on_byte + "\x01\r");
        });
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void click_at(std::int64_t t, QWidget* w) {
        clock_.at(t, [w] { click(w); });
    }

    // Every write since the last call, with its time.
    std::vector<Sent> sent() {
        std::vector<Sent> out;
        for (; sent_taken_ < port_.writes.size(); ++sent_taken_) {
            out.push_back({port_.writes[sent_taken_].at_ms, port_.writes[sent_taken_].bytes});
        }
        return out;
    }

    // The state every ending leaves.
    void expect_ended(Vimbo_form& f) {
        expect_transfer_buttons_idle(f);
        EXPECT_FALSE(f.state.Abort_request);
        EXPECT_EQ(f.state.Rx_reply, "");
        EXPECT_EQ(f.files.count(), 0u);
        EXPECT_LT(f.Label1->progress(), 0);
        EXPECT_TRUE(f.MSerial.PortOpen());
        EXPECT_FALSE(clock_.stalled());
    }

    std::function<void(const QByteArray&)> on_each_write;
    QByteArray id_ = "#2418";
    int id_after_ms_ = 20;
    QByteArray first_request_ = "#$";
    int first_request_after_ms_ = 25;
    int reply_after_ms_ = 5;
    QByteArray default_reply_ = "#$";
    std::map<int, QByteArray> replies_;
    int lines_received_ = 0;
    std::size_t sent_taken_ = 0;
};

inline const QByteArray kStartByte(1, char(0xB2));
