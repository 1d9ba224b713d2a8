#include <sys/resource.h>

#include <csignal>

#include "tests/fault_pty_fixture.h"

namespace {
// While it lives, no file this process writes may grow past the given size: a write past it
// fails as on a full disk (SIGXFSZ is ignored, so the write returns an error instead of the
// signal ending the process). The simulator, started before, is not bound by it.
class File_size_limit {
  public:
    explicit File_size_limit(rlim_t bytes) : old_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        in_force_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
        const rlimit small{bytes, old_.rlim_max};
        in_force_ = in_force_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~File_size_limit() {
        if (in_force_) setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    File_size_limit(const File_size_limit&) = delete;
    File_size_limit& operator=(const File_size_limit&) = delete;
    bool in_force() const { return in_force_; }

  private:
    void (*old_handler_)(int);
    rlimit old_{};
    bool in_force_ = false;
};

constexpr rlim_t kRecordBytes = 43 + 2;  // a data record and its CR LF
const QString kCannotWrite = "EEPROM read stopped: the file cannot be written (disk full?).";
}  // namespace

// The disk fills up while Read EEP writes the backup. The read says so and stops asking the
// board for lines, the lines written whole are kept beside the backup, the older backup under
// the name stays byte for byte, and nothing claims success.
class Full_disk_pty_test : public Fault_pty_test {
  protected:
    void read_with_the_disk_full_at(rlim_t bytes) {
        typed_while_waiting_ = false;
        // The image file is there from the sign-on on, while the read waits for the board.
        scenario_.then([&] { return read_busy() && exists(kBackup + ".tmp"); },
                       [&] { type_while([&] { return read_busy(); }); });
        const File_size_limit limit(bytes);
        ASSERT_TRUE(limit.in_force());
        read_eeprom(kBackup);
        EXPECT_TRUE(scenario_.finished());
        EXPECT_TRUE(typed_while_waiting_);
        EXPECT_FALSE(hang_guard_fired_);
    }
    void expect_failed_read() {
        expect_old_backup_intact();
        expect_no_success();
        expect_transfers_idle();
        EXPECT_TRUE(form().MSerial.PortOpen());
    }
};

// No room even for the first record, and then room for ten records and part of the
// eleventh: the part is cut off again, and no twelfth line is asked for.
TEST_F(Full_disk_pty_test, DiskFullAtTheFirstAndAtTheEleventhRecord) {
    ready();
    read_with_the_disk_full_at(0);
    QStringList log = log_lines();
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{board_.dump_line(1), kCannotWrite}));
    EXPECT_FALSE(exists(kBackup + ".partial"));
    expect_failed_read();

    read_with_the_disk_full_at(10 * kRecordBytes + 20);
    log = log_lines();
    EXPECT_EQ(log.mid(log.size() - 3), (QStringList{board_.dump_line(11), kCannotWrite,
                                                    "10 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(file(kBackup + ".partial"), board_.records(10));
    expect_failed_read();
    EXPECT_EQ(sim_status(), "status mode=eeprom eeprom_lines=11 upload_lines=0");
    EXPECT_FALSE(sim_.saw("event eeprom-request 12"));
}

// Every record fits, the trailer does not: the image never takes the name.
TEST_F(Full_disk_pty_test, DiskFullWhileTheTrailerIsWritten) {
    ready();
    const QByteArray end_lines = "#00000001FF\r\n\r\n\r\n";
    read_with_the_disk_full_at(64 * kRecordBytes + rlim_t(end_lines.size()) + 20);
    const QStringList log = log_lines();
    EXPECT_EQ(log.mid(log.size() - 3),
              (QStringList{"Saving; 1024 Bytes to Disk File.", kCannotWrite,
                           "64 records kept in; 2418.eep.partial"}));
    EXPECT_EQ(file(kBackup + ".partial"), board_.records(64) + end_lines);
    expect_failed_read();
}
