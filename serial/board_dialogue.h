#pragma once
// Every byte the tool sends to the board's firmware and every reply it relies on.
// Board lines end with CR; LF bytes are ignored; lines beginning with "#" are protocol
// replies (they go to the mailbox, never to the log).

namespace board {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kReplyMark = '#';

// Console.
constexpr char kCtrlZ = 0x1A;               // the command line "^Z"
constexpr const char* kCtrlZMarker = "^Z";  // stands for kCtrlZ
constexpr char kEnterAtMode = '}';          // then CR, except in the "ic" case
constexpr char kEnterPcCommandMode = '{';
constexpr char kUndecodedAtAnswers = '|';           // "ic" case only
constexpr char kInitialize[] = {0x00, 0x18, 0x21};  // three separate writes

// Transfers. The sign-on line is "#", then one of these bytes, then anything.
constexpr unsigned char kSignOnEeprom = 0xBE;  // accepted by the read and the upload
constexpr unsigned char kSignOnLoader = 0xD0;  // accepted by the upload only

// EEPROM dump: start byte, then "#" per 16-byte dump line; CAN cancels.
constexpr unsigned char kEepromDumpStart = 0xB3;
constexpr char kDumpRequest = '#';
constexpr char kDumpCancel = 0x18;
constexpr int kDumpLineLength = 35;  // "#", 32 hex digits of data, 2 of their plain sum

// Upload: start byte, a hardware id line "#dddd", then one file line + CR per "#$".
constexpr unsigned char kUploadStart = 0xB2;
constexpr const char* kReplyNextLine = "#$";
constexpr const char* kReplyDone = "#@";
constexpr const char* kReplyHeaderError = "#?";
constexpr const char* kReplyChecksumError = "#!";
constexpr const char* kReplyChipTypeError = "#*";

}  // namespace board
