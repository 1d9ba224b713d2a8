#pragma once
#include <algorithm>

#include "tests/eeprom_board_script.h"
#include "tests/support/form_fixture.h"

// A window on the virtual clock whose fake port plays the board's EEPROM dump.
class Eeprom_board_test : public Form_test {
  protected:
    struct Sent {
        std::int64_t at_ms;
        QByteArray bytes;
        bool operator==(const Sent&) const = default;
    };

    // A shown window with COM 3 open and a board holding an image of size bytes.
    Vimbo_form& ready(int size) {
        Vimbo_form& f = make_form();
        f.show();
        open_port(3);
        board_.image = Eeprom_board_script::make_image(size, unsigned(size));
        board_.unplug = [this] { board().unplug(); };
        port_.on_write = [this](const QByteArray& bytes) {
            board_.receive(
                bytes,
                [this](std::int64_t ms, const QByteArray& b) { board().deliver_after(ms, b); },
                [this](std::int64_t ms, std::function<void()> fn) {
                    clock_.after(ms, std::move(fn));
                });
        };
        return f;
    }
    // Every write so far, with its time.
    std::vector<Sent> sent() const {
        std::vector<Sent> all(port_.writes.size());
        std::transform(port_.writes.begin(), port_.writes.end(), all.begin(),
                       [](const Fake_port::Write& w) {
                           return Sent{w.at_ms, w.bytes};
                       });
        return all;
    }

    Eeprom_board_script board_;
};
