#include "app/receiver.h"

#include "app/session_record.h"
#include "app/vimbo_form.h"

// The indicator goes on and off with every line of a stream; its face follows in ticks.
Receiver::Receiver(Vimbo_form& form) : f_(form) {
    f_.Cmd_reserve_2->repaint_caption_in_ticks();
}

void Receiver::MSerial_OnComm() {
    Form_state& s = f_.state;
    store_one_char(s.Rx_char, f_.MSerial.Input());
    if (s.Rx_char == QLatin1String("\n")) {
        store_one_char(s.Rx_char, QString());
        return;
    }
    if (s.Rx_char == QLatin1String("\r")) {
        end_of_line();
        return;
    }
    f_.Cmd_reserve_2->set_caption(QStringLiteral("rx"));
    s.Rx_partial += s.Rx_char;
    store_one_char(s.Rx_char, QString());
    if (s.Rx_partial.size() >= kMaxPartialLine) end_of_line();
}

void Receiver::end_of_line() {
    Form_state& s = f_.state;
    s.Rx_line = s.Rx_partial;
    f_.record().received(s.Rx_line);
    s.Rx_partial.clear();
    store_one_char(s.Rx_char, QString());
    f_.Cmd_reserve_2->set_caption(QString());
    store_one_char(s.Rx_first, s.Rx_line);
    if (s.Rx_first == QLatin1String("#")) {
        s.Rx_reply = s.Rx_line;
        return;
    }
    f_.show_in_log(s.Rx_line);
    if (!f_.Text_to_copy->isHidden() && s.Rx_line.size() < 1024) {
        f_.Text_to_copy->append_text(s.Rx_line + s.CrLf);
    }
}

void Receiver::Timer1_Timer() {
    f_.state.Timer1_expired = true;
    f_.Timer1->set_enabled(false);
}

void Receiver::Timer2_Timer() {
    f_.state.Timer2_expired = true;
    f_.Timer2->set_enabled(false);
}
