#pragma once
#include <QByteArray>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

// The controller's EEPROM dump as the tests play it on the fake port: 0xB3 starts a dump,
// each "#" then gets the next 16 bytes as a dump line, CAN stops it. Dump lines and the
// records a backup must hold are computed here, independently of the tool.
class Eeprom_board_script {
  public:
    using Deliver = std::function<void(std::int64_t after_ms, const QByteArray& bytes)>;
    using Later = std::function<void(std::int64_t after_ms, std::function<void()> fn)>;

    QByteArray image;                       // the board's EEPROM
    int reply_ms = 20;                      // a dump line follows its request this late
    std::map<int, QByteArray> replace;      // line k (from 1) is sent as this instead
    std::map<int, int> delay_ms;            // line k comes this late instead
    std::map<int, QByteArray> before_line;  // sent just before line k (stray lines)
    std::set<int> silent;                   // no answer to request k
    int unplug_after = 0;                   // the device goes away after line k (0: never)
    std::function<void()> unplug;

    int requests = 0;
    int cancels = 0;
    bool dumping = false;

    void receive(const QByteArray& bytes, const Deliver& deliver, const Later& later);

    static QByteArray make_image(int size, unsigned seed);
    // "#", 32 upper-case hex digits, 2 of their plain sum.
    QByteArray dump_line(int k) const;
    // The .eep data record for line k, and the first n records with CR LF.
    QByteArray record(int k) const;
    QByteArray records(int n) const;
    int lines() const { return int(image.size() / 16); }
};
