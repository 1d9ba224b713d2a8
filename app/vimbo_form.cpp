#include "app/vimbo_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include "app/app_title.h"
#include "app/aux_commands.h"
#include "app/backup_viewer.h"
#include "app/board_compare.h"
#include "app/control_table.h"
#include "app/form_transfer_view.h"
#include "app/port_opening.h"
#include "app/receiver.h"
#include "app/settings_file.h"
#include "base/programming_error.h"
#include "console/examples.h"
#include "console/modes.h"
#include "console/sending.h"
#include "eeprom/eeprom_read.h"
#include "serial/failures.h"
#include "upload/upload_commands.h"

static void load_resources() {
    Q_INIT_RESOURCE(resources);
}

Vimbo_form::Vimbo_form(Form_services services, QWidget* parent)
    : QWidget(parent),
      MSerial(services.events, std::move(services.port)),
      pump(services.events),
      quit_(std::move(services.quit)) {
    setObjectName(QStringLiteral("vimbo_form"));
    if (services.dialogs) {
        dialogs_ = services.dialogs;
    } else {
        own_dialogs_ = std::make_unique<Qt_dialogs>(this);
        dialogs_ = own_dialogs_.get();
    }
    if (services.editor) {
        editor_ = services.editor;
    } else {
        own_editor_ = std::make_unique<Process_launcher>();
        editor_ = own_editor_.get();
    }
    build_controls();
    set_focus_order();
    load_resources();
    setWindowIcon(QIcon(QStringLiteral(":/vimbo.png")));
    setWindowTitle(kAppTitle);
    setFixedSize(normal_width(), twips_to_pixels({0, 0, 0, kClientHeightTwips}).height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }

    Timer1 = services.events.make_timer(
        [this] { handle([this] { receiver_->Timer1_Timer(); }, "Timer1_Timer"); });
    Timer2 = services.events.make_timer(
        [this] { handle([this] { receiver_->Timer2_Timer(); }, "Timer2_Timer"); });
    transfer_view_ = std::make_unique<Form_transfer_view>(*this);
    receiver_ = std::make_unique<Receiver>(*this);
    port_opening_ = std::make_unique<Port_opening>(*this);
    sending_ = std::make_unique<Sending>(*this);
    examples_ = std::make_unique<Examples>(*this);
    modes_ = std::make_unique<Modes>(*this);
    settings_file_ = std::make_unique<Settings_file>(*this);
    aux_commands_ = std::make_unique<Aux_commands>(*this);
    eeprom_read_ = std::make_unique<Eeprom_read>(form_transfer_link(*this), *transfer_view_,
                                                 state.Eeprom_file);
    on(Cmd_read_eeprom, &QPushButton::clicked, [this] { eeprom_read_->Cmd_read_eeprom_Click(); });
    upload_commands_ = std::make_unique<Upload_commands>(*this);
    backup_viewer_ = std::make_unique<Backup_viewer>(*this);
    board_compare_ = std::make_unique<Board_compare>(*this);
    MSerial.OnComm = [this] { handle([this] { receiver_->MSerial_OnComm(); }, "MSerial_OnComm"); };
    MSerial.EndOfRun = [this] { return state.Rx_partial.isEmpty(); };
    MSerial.OnPortLost = [this] { handle([this] { port_opening_->port_lost(); }, "port_lost"); };
    MSerial.OnPortBack = [this] { handle([this] { port_opening_->port_back(); }, "port_back"); };
    on(Cmd_exit, &QPushButton::clicked, [this] { Cmd_exit_Click(); });

    Form_Load();
    Cmd_com_usb->setFocus();
}

Vimbo_form::~Vimbo_form() {
    MSerial.OnComm = nullptr;
    MSerial.EndOfRun = nullptr;
    MSerial.OnPortLost = nullptr;
    MSerial.OnPortBack = nullptr;
}

Transfer_view& Vimbo_form::transfer_view() {
    return *transfer_view_;
}

int Vimbo_form::normal_width() const {
    return twips_to_pixels({0, 0, kClientWidthTwips, 0}).width();
}

QWidget* Vimbo_form::control(const char* name) const {
    return findChild<QWidget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void Vimbo_form::build_controls() {
    const QFont courier(QStringLiteral("Courier New"), 8);
    for (const Control_entry& entry : control_table()) {
        QWidget* w = nullptr;
        switch (entry.kind) {
            case Control_kind::button: {
                auto* b = new Vb_button(this);
                b->setText(entry.caption);
                w = b;
                break;
            }
            case Control_kind::text_box: {
                auto* t = new Vb_text_box(this);
                t->setText(entry.caption);
                if (entry.back.isValid()) t->set_back_color(entry.back);
                w = t;
                break;
            }
            case Control_kind::memo: {
                auto* m = new Vb_memo(this);
                if (entry.back.isValid()) m->set_back_color(entry.back);
                w = m;
                break;
            }
            case Control_kind::line_list:
                w = new Line_list(this);
                break;
            case Control_kind::file_list:
                w = new File_list(this);
                break;
            case Control_kind::hint_line: {
                auto* h = new Hint_line(this);
                h->set_back_color(entry.back);
                w = h;
                break;
            }
        }
        w->setObjectName(QString::fromLatin1(entry.name));
        if (!entry.tooltip.isEmpty()) w->setToolTip(entry.tooltip);
        w->setGeometry(twips_to_pixels(entry.twips));
        if (entry.courier) w->setFont(courier);
        QPalette p = w->palette();
        if (entry.kind == Control_kind::line_list && entry.back.isValid()) {
            p.setColor(QPalette::Base, entry.back);
        }
        if (entry.fore.isValid()) p.setColor(QPalette::Text, entry.fore);
        w->setPalette(p);
        w->setVisible(entry.visible);
    }
    auto find = [this](const char* name) { return control(name); };
    Cmd_com_usb = static_cast<Vb_button*>(find("Cmd_com_usb"));
    Text_com_number = static_cast<Vb_text_box*>(find("Text_com_number"));
    Text_baud_rate = static_cast<Vb_text_box*>(find("Text_baud_rate"));
    Text_module_Id = static_cast<Vb_text_box*>(find("Text_module_Id"));
    Cmd_save_settings = static_cast<Vb_button*>(find("Cmd_save_settings"));
    Cmd_reserve_1 = static_cast<Vb_button*>(find("Cmd_reserve_1"));
    Cmd_reserve_2 = static_cast<Vb_button*>(find("Cmd_reserve_2"));
    Cmd_read_infos = static_cast<Vb_button*>(find("Cmd_read_infos"));
    Cmd_initialize_vimbo = static_cast<Vb_button*>(find("Cmd_initialize_vimbo"));
    Cmd_exit = static_cast<Vb_button*>(find("Cmd_exit"));
    Cmd_show_cmd_list = static_cast<Vb_button*>(find("Cmd_show_cmd_list"));
    Cmd_start_SMS_mode = static_cast<Vb_button*>(find("Cmd_start_SMS_mode"));
    Cmd_start_AT_mode = static_cast<Vb_button*>(find("Cmd_start_AT_mode"));
    Cmd_send_cmd = static_cast<Vb_button*>(find("Cmd_send_cmd"));
    List_1 = static_cast<Line_list*>(find("List_1"));
    Text_to_copy = static_cast<Vb_memo*>(find("Text_to_copy"));
    File_list_1 = static_cast<File_list*>(find("File_list_1"));
    Text_Cmd = static_cast<Vb_text_box*>(find("Text_Cmd"));
    Label1 = static_cast<Hint_line*>(find("Label1"));
    Cmd_update_vimbo = static_cast<Vb_button*>(find("Cmd_update_vimbo"));
    Cmd_show_upd_file = static_cast<Vb_button*>(find("Cmd_show_upd_file"));
    Cmd_read_eeprom = static_cast<Vb_button*>(find("Cmd_read_eeprom"));
    Cmd_write_eeprom = static_cast<Vb_button*>(find("Cmd_write_eeprom"));
    Cmd_Show_About = static_cast<Vb_button*>(find("Cmd_Show_About"));
    List_cmd_list = static_cast<Line_list*>(find("List_cmd_list"));
    // The copy box and the file list lie over the log.
    Text_to_copy->raise();
    File_list_1->raise();
}

void Vimbo_form::set_focus_order() {
    const auto& order = focus_order();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(control(order[i - 1]), control(order[i]));
    }
}

void Vimbo_form::log(const QString& text) {
    List_1->add_item(text);
    List_1->set_selected_index(List_1->count() - 1);
}

void Vimbo_form::handle(const std::function<void()>& body, const char* name) {
    if (pump.ending()) return;
    try {
        body();
    } catch (const Program_ending&) {
        // The program is ending: nothing more of this handler runs.
    } catch (const Runtime_failure&) {
        // A run-time failure of the port or a file ends the handler without a message; done
        // stays done.
    } catch (const std::exception& e) {
        // Anything else is a bug: the handler ends all the same, but says so.
        warn_programming_error(name, e);
    }
}

void Vimbo_form::Form_Load() {
    state.CrLf = QStringLiteral("\r\n");
    if (read_settings_at_start) read_settings_at_start();
}

void Vimbo_form::Cmd_exit_Click() {
    try {
        if (MSerial.PortOpen()) MSerial.set_PortOpen(false);
    } catch (const std::exception&) {
        // The files are closed and the program ends all the same.
    }
    files.close_all();
    pump.request_end();
    hide();
    if (quit_) quit_();
}

void Vimbo_form::closeEvent(QCloseEvent* e) {
    if (!pump.ending()) Cmd_exit_Click();
    e->accept();
}
