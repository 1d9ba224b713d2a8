#pragma once
#include <QString>
#include <QtGlobal>

// The window's state. Strings start empty, flags false; a one-character string always
// holds one character (an empty text stored into it stores a blank).
struct Form_state {
    QString CrLf;
    bool Port_from_settings = false;
    QString Com_number;
    QString Baud_rate;
    QString Module_id;
    quint8 Open_fail_count = 0;

    // Receiving.
    QString Rx_char = QStringLiteral(" ");
    QString Rx_partial;
    QString Rx_line;
    QString Rx_first = QStringLiteral(" ");
    QString Rx_reply;  // mailbox: the last completed line that began with "#"
    bool Timer1_expired = false;
    bool Timer2_expired = false;

    // Console.
    QString Copy_text;
    QString Cmd_file_path;

    // Transfers.
    QString Eeprom_file;
    QString Chosen_file;
    // The first four characters of the last pick, kept through a right click. The hardware
    // id check does not read it: it takes the id from the name of the file actually sent.
    QString File_id;
    bool Abort_request = false;
};

// Stores text into a one-character variable: exactly its first character, a blank if empty.
inline void store_one_char(QString& slot, const QString& text) {
    slot = text.isEmpty() ? QStringLiteral(" ") : text.left(1);
}
