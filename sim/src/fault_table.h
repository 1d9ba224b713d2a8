#pragma once
// Faults armed by the test harness: each one spoils one step of the dialogue on purpose.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class Fault_kind {
    eeprom_checksum,   // dump line K: sum + 1
    eeprom_lowercase,  // dump line K: lower-case hex
    eeprom_nonhex,     // dump line K: one data digit replaced by ':'
    eeprom_short,      // dump line K: cut to 20 characters
    eeprom_delay,      // dump line K: MS milliseconds late
    eeprom_silent,     // no answer from dump request K on
    eeprom_unplug,     // unplug right after dump line K
    loader_reply,      // answer loader line K with a given text
    loader_delay,      // answer to loader line K: MS milliseconds late
    loader_silent,     // no answer from loader line K on (0: not even the hardware id)
    loader_unplug,     // unplug right after loader line K arrives
    hwid_none,         // the loader never tells its hardware id
    loader_stuck,      // the EEPROM byte at address K keeps its old value when a write is kept
};

struct Fault {
    Fault_kind kind;
    int line = 0;  // the line K; for loader-stuck, the address
    int delay_ms = 0;
    std::string reply;
};

class Fault_table {
  public:
    // Arms NAME with its arguments ("3", "3 500", "2 #!", "0123" for an address in
    // hexadecimal); numbers may also be separated by
    // commas, as in --fault eeprom-delay=3,500. Returns an error text, empty on success.
    std::string arm(std::string_view name, std::string_view args);

    // "NAME" or "NAME=ARGS", the command-line form.
    std::string arm_option(std::string_view option);

    void clear() { faults_.clear(); }
    bool empty() const { return faults_.empty(); }
    const std::vector<Fault>& armed() const { return faults_; }

    // A fault of this kind aimed at exactly this line.
    bool at(Fault_kind kind, int line) const;
    // A fault of this kind aimed at this line or an earlier one ("from line K on").
    bool from(Fault_kind kind, int line) const;
    // Sum of the delays of this kind aimed at this line.
    int delay_ms(Fault_kind kind, int line) const;
    // The text to answer loader line K with, if a loader-reply fault is aimed at it.
    std::optional<std::string> reply_for(int line) const;
    bool has(Fault_kind kind) const;
    // The addresses whose bytes a kept write does not change.
    std::vector<unsigned> stuck_addresses() const;

  private:
    std::vector<Fault> faults_;
};

}  // namespace sim
