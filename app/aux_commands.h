#pragma once
#include <QLocale>
#include <QString>
#include <QTime>
#include <functional>

class Vimbo_form;

// The small commands around the log: the time-stamped separator, clear receive, emptying
// the log, showing a log line in the hint line, the info file and the About box.
class Aux_commands {
  public:
    explicit Aux_commands(Vimbo_form& form);

    void Cmd_reserve_1_Click();
    void Cmd_reserve_2_Click();
    void List_1_DblClick();
    void List_1_MouseDown(Qt::MouseButton button);
    void Cmd_read_infos_Click();
    void Cmd_Show_About_Click();

    static QString about_text();

    // Where the separator's time of day comes from; tests set a fixed one.
    std::function<QTime()> time_of_day = [] { return QTime::currentTime(); };
    QLocale locale = QLocale::system();

  private:
    Vimbo_form& f_;
};

// The separator line for a time of day already written as text.
QString separator_line(const QString& time_text);

// The locale's long time format (hours, minutes, seconds) without its time-zone part.
QString time_of_day_format(const QString& long_format);

// The time of day in the locale's format. The log holds 8-bit text, so a locale whose
// time needs other characters (digits of another script, CJK units) gets HH:mm:ss.
QString time_of_day_text(const QLocale& locale, const QTime& time);

inline const QString kInfoFileName = QStringLiteral("vimbo_info.txt");

// The info file for a program in app_dir: beside the program (a build tree), else in
// ../share/vimbo/ (an installed program). When neither exists, the installed location,
// and the editor says that the file is missing.
QString info_file_path(const QString& app_dir, const std::function<bool(const QString&)>& exists);
