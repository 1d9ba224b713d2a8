#pragma once
#include <QMetaMethod>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/editor_launcher.h"
#include "app/form_state.h"
#include "app/line_list.h"
#include "base/open_files.h"
#include "serial/event_services.h"
#include "serial/port_backend.h"
#include "serial/port_list.h"
#include "serial/pump.h"
#include "serial/serial_control.h"

class Form_transfer_view;
class Transfer_view;
class Port_opening;
class Receiver;
class Sending;
class Examples;
class Modes;
class Settings_file;
class Aux_commands;
class Eeprom_read;
class Upload_commands;
class Record_disk;
class Session_record;
class Record_menu;
class Log_keys;
class Port_choosing;
class Backup_viewer;
class Board_compare;

// What the window needs from the outside world. Tests pass fakes; the program passes the
// real port, Qt's event loop and real dialogs.
struct Form_services {
    Event_services& events;
    std::unique_ptr<Port_backend> port;
    Dialogs* dialogs = nullptr;                  // null: real dialogs
    Editor_launcher* editor = nullptr;           // null: real processes
    std::function<void()> quit;                  // ends the application's event loop
    std::function<std::int64_t()> wall_ms = {};  // ms since the epoch; null: the system clock
    Record_disk* record_disk = nullptr;          // null: the real files
    const Port_list* ports = nullptr;            // null: the system's serial ports
};

// The one window. It owns every control, all state and every handler; the handlers live
// in small rooms (port opening, receiving, ...) that are given the window. The two transfer
// procedures are given only what they use: the link to the board and a view of the window.
class Vimbo_form : public QWidget {
    Q_OBJECT
  public:
    explicit Vimbo_form(Form_services services, QWidget* parent = nullptr);
    ~Vimbo_form() override;

    // Controls, named as in the window's control table.
    Vb_button* Cmd_com_usb = nullptr;
    Vb_text_box* Text_com_number = nullptr;
    Vb_text_box* Text_baud_rate = nullptr;
    Vb_text_box* Text_module_Id = nullptr;
    Vb_button* Cmd_save_settings = nullptr;
    Vb_button* Cmd_reserve_1 = nullptr;
    Vb_button* Cmd_reserve_2 = nullptr;
    Vb_button* Cmd_read_infos = nullptr;
    Vb_button* Cmd_initialize_vimbo = nullptr;
    Vb_button* Cmd_exit = nullptr;
    Vb_button* Cmd_show_cmd_list = nullptr;
    Vb_button* Cmd_start_SMS_mode = nullptr;
    Vb_button* Cmd_start_AT_mode = nullptr;
    Vb_button* Cmd_send_cmd = nullptr;
    Line_list* List_1 = nullptr;
    Vb_memo* Text_to_copy = nullptr;
    File_list* File_list_1 = nullptr;
    Vb_text_box* Text_Cmd = nullptr;
    Hint_line* Label1 = nullptr;
    Vb_button* Cmd_update_vimbo = nullptr;
    Vb_button* Cmd_show_upd_file = nullptr;
    Vb_button* Cmd_read_eeprom = nullptr;
    Vb_button* Cmd_write_eeprom = nullptr;
    Vb_button* Cmd_Show_About = nullptr;
    Line_list* List_cmd_list = nullptr;
    std::unique_ptr<Window_timer> Timer1;
    std::unique_ptr<Window_timer> Timer2;
    Serial_control MSerial;

    Form_state state;
    Pump pump;
    Open_files files;
    Dialogs& dialogs() { return *dialogs_; }
    Editor_launcher& editor() { return *editor_; }
    const Port_list& port_list() const { return *port_list_; }

    // Status conventions: the title is the status line, Label1 the hint line, List_1 the log.
    void set_title(const QString& text) { setWindowTitle(text); }
    QString title() const { return windowTitle(); }
    void set_hint(const QString& text) { Label1->set_text(text); }
    QString hint() const { return Label1->hint_text(); }
    // Appends to the log and selects the newest line.
    void log(const QString& text);
    // The same, left out of the session record: a received line (the receive handler
    // records it as received) and the record's own stop.
    void show_in_log(const QString& line);
    // The date and time of day, as the session record and the log's times take them.
    std::int64_t wall_ms() const { return wall_ms_(); }

    // Runs one event handler, named for the warning on a programming error: a run-time
    // failure ends it silently; once the program is ending no handler runs and a waiting
    // one stops.
    void handle(const std::function<void()>& body, const char* name = nullptr);
    // Connects a signal to a handler body run through handle(), named by the control and
    // its signal ("Cmd_read_eeprom.clicked").
    template <typename Sender, typename Owner, typename... Args, typename Body>
    void on(Sender* sender, void (Owner::*signal)(Args...), Body body) {
        const QByteArray name =
            sender->objectName().toLatin1() + '.' + QMetaMethod::fromSignal(signal).name();
        connect(sender, signal, this, [this, body, name](Args... args) {
            if constexpr (std::is_invocable_v<const Body&, Args...>) {
                handle([&] { body(args...); }, name.constData());
            } else {
                // e.g. clicked(bool): the handler takes no arguments
                handle([&] { body(); }, name.constData());
            }
        });
    }

    void Form_Load();
    void Cmd_exit_Click();
    // Start-up step that reads the settings file; the settings room fills it in.
    std::function<void()> read_settings_at_start;

    QWidget* control(const char* name) const;
    int normal_width() const;

    Port_opening& port_opening() { return *port_opening_; }
    Receiver& receiver() { return *receiver_; }
    Sending& sending() { return *sending_; }
    Examples& examples() { return *examples_; }
    Modes& modes() { return *modes_; }
    Settings_file& settings_file() { return *settings_file_; }
    Aux_commands& aux_commands() { return *aux_commands_; }
    Eeprom_read& eeprom_read() { return *eeprom_read_; }
    Transfer_view& transfer_view();
    Upload_commands& upload_commands() { return *upload_commands_; }
    Session_record& record() { return *record_; }
    Record_menu& record_menu() { return *record_menu_; }
    Log_keys& log_keys() { return *log_keys_; }
    Port_choosing& port_choosing() { return *port_choosing_; }
    Backup_viewer& backup_viewer() { return *backup_viewer_; }
    Board_compare& board_compare() { return *board_compare_; }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void build_controls();
    void set_focus_order();
    void start_record(Record_disk* disk);

    std::unique_ptr<Dialogs> own_dialogs_;
    std::unique_ptr<Editor_launcher> own_editor_;
    Dialogs* dialogs_ = nullptr;
    Editor_launcher* editor_ = nullptr;
    std::unique_ptr<Port_list> own_port_list_;
    const Port_list* port_list_ = nullptr;
    std::function<void()> quit_;
    std::unique_ptr<Form_transfer_view> transfer_view_;
    std::function<std::int64_t()> wall_ms_;
    std::unique_ptr<Record_disk> own_record_disk_;
    std::unique_ptr<Session_record> record_;
    std::unique_ptr<Record_menu> record_menu_;
    std::unique_ptr<Log_keys> log_keys_;
    std::unique_ptr<Port_opening> port_opening_;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<Sending> sending_;
    std::unique_ptr<Examples> examples_;
    std::unique_ptr<Modes> modes_;
    std::unique_ptr<Settings_file> settings_file_;
    std::unique_ptr<Aux_commands> aux_commands_;
    std::unique_ptr<Eeprom_read> eeprom_read_;
    std::unique_ptr<Upload_commands> upload_commands_;
    std::unique_ptr<Port_choosing> port_choosing_;
    std::unique_ptr<Backup_viewer> backup_viewer_;
    std::unique_ptr<Board_compare> board_compare_;
};
