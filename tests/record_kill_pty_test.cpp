#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/record_lines.h"
#include "tests/support/pty_fixture.h"

// The program itself, started as the user starts it, against the board simulator.
class Record_kill_pty_test : public Pty_test {
  protected:
    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(3000);
        }
        Pty_test::TearDown();
    }
    bool start_program() {
        QFile settings(path("vimbo.set"));
        if (!settings.open(QIODevice::WriteOnly)) return false;
        settings.write("3\r\n115200\r\nM35\r\n");
        settings.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home_.path());  // the program's user settings go there
        env.insert("XDG_CONFIG_HOME", home_.path());
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(path("."));
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QCoreApplication::applicationDirPath() + "/vimbo", QStringList{});
        return program_.waitForStarted(5000);
    }
    QByteArray record() const {
        QFile f(path("logs/" + record::file_name(QDate::currentDate())));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool recorded(const QByteArray& text) {
        return run_until([&] { return record().contains(text); });
    }
    // Lines named prefix + number, one after another from from, as raw bytes for the board.
    static QString lines_hex(char prefix, int from, int count) {
        QByteArray bytes;
        for (int n = from; n < from + count; ++n) {
            bytes += prefix + QByteArray::number(n).rightJustified(5, '0') + "\r\n";
        }
        return QString::fromLatin1(bytes.toHex());
    }

    QTemporaryDir home_;
    QProcess program_;
};

TEST_F(Record_kill_pty_test, AKillInTheMiddleOfAStreamLosesNoRecordedLine) {
    ASSERT_TRUE(start_sim(3));
    ASSERT_TRUE(start_program());
    ASSERT_TRUE(recorded("* COMM:3 115200b/s.N.8.1..."));

    // Each line is in the file as soon as it came, while the program runs on.
    ASSERT_TRUE(sim_.command("raw " + lines_hex('A', 1, 300)));
    ASSERT_TRUE(recorded("< A00300\r\n"));

    // A stream, and the program killed while it flows.
    int sent = 0;
    for (int burst = 0; burst < 50; ++burst) {
        ASSERT_TRUE(sim_.command("raw " + lines_hex('B', sent + 1, 200)));
        sent += 200;
        if (burst == 5) {
            ASSERT_TRUE(recorded("< B"));
            program_.kill();
        }
        if (burst > 5) break;
    }
    // The event loop of the waits may have seen it end already.
    ASSERT_TRUE(program_.state() == QProcess::NotRunning || program_.waitForFinished(5000));
    EXPECT_EQ(program_.exitStatus(), QProcess::CrashExit);

    const QByteArray all = record();
    ASSERT_TRUE(all.endsWith("\r\n"));  // no line cut short
    QStringList received;
    const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [<>*] ");
    for (const QString& line : QString::fromLatin1(all).split("\r\n", Qt::SkipEmptyParts)) {
        ASSERT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
        if (line.mid(24, 1) == "<") received << line.mid(26);
    }
    // Every line up to the last recorded one, in order, none missing.
    ASSERT_GT(received.size(), 300);
    for (int n = 0; n < received.size(); ++n) {
        const QString expected = n < 300 ? QStringLiteral("A%1").arg(n + 1, 5, 10, QChar('0'))
                                         : QStringLiteral("B%1").arg(n - 299, 5, 10, QChar('0'));
        ASSERT_EQ(received[n], expected) << "line " << n;
    }
    EXPECT_LE(received.size(), 300 + sent);
    EXPECT_FALSE(all.contains("Program exit"));
}
