#include <QFontInfo>
#include <QTest>

#include "app/control_table.h"
#include "tests/support/form_fixture.h"

namespace {

struct Expected {
    const char* name;
    const char* kind;
    QString text;
    QString tooltip;
    QRect pixels;
};

// The window's controls as a technician sees them at start, in pixels at 15 twips each.
const Expected kControls[] = {
    {"Cmd_com_usb",
     "Vb_button",
     "Com/usb",
     "Click to select Comport bellow (also via USB converter)",
     {310, 3, 85, 18}},
    {"Text_com_number",
     "Vb_text_box",
     "",
     "ComPort number. See Cmd [Read Infos] for infos.",
     {309, 21, 27, 19}},
    {"Text_baud_rate",
     "Vb_text_box",
     "",
     "Baud Rate. See Cmd [Read Infos] for infos or doubleClick...",
     {336, 21, 58, 19}},
    {"Text_module_Id",
     "Vb_text_box",
     "",
     "ENTER GSM Engine model Id. eg: MC39, Ti35, W218,,,,   ",
     {309, 38, 85, 19}},
    {"Cmd_save_settings",
     "Vb_button",
     "Save Set,",
     "Click to save above settings.",
     {310, 59, 85, 20}},
    {"Cmd_reserve_1", "Vb_button", "--------", "Click to add separator to list", {310, 80, 40, 18}},
    {"Cmd_reserve_2", "Vb_button", "---", "Click to clear Rx from controller!", {352, 80, 43, 18}},
    {"Cmd_read_infos",
     "Vb_button",
     "Read Infos",
     "Click to open info file with Notepad.",
     {310, 118, 85, 22}},
    {"Cmd_initialize_vimbo",
     "Vb_button",
     "Initialize",
     "Click to initialize / Reset Vimbo module.",
     {310, 141, 85, 20}},
    {"Cmd_exit", "Vb_button", "Close/Exit", "Finish...", {310, 162, 85, 20}},
    {"Cmd_show_cmd_list",
     "Vb_button",
     "Show Cmds",
     "Click to show Cmd examples. Right to open the file.",
     {310, 182, 85, 18}},
    {"Cmd_start_SMS_mode",
     "Vb_button",
     "CMD",
     "Click for Pc ComManD mode to controller (Blue cmd line).",
     {310, 202, 44, 18}},
    {"Cmd_start_AT_mode",
     "Vb_button",
     "AT+",
     "Click for AT+ command mode to GSM module (Red).",
     {355, 202, 40, 18}},
    {"Cmd_send_cmd",
     "Vb_button",
     "Send",
     "Click to send the command in text box (right=no CR).",
     {310, 221, 85, 18}},
    {"List_1", "Line_list", "", "", {2, 3, 306, 235}},
    {"Text_to_copy", "Vb_memo", "", "", {6, 8, 298, 226}},
    {"File_list_1", "File_list", "", "", {112, 74, 143, 146}},
    {"Text_Cmd",
     "Vb_text_box",
     "__Write_AT_Cmd_(red)_or_SMS_(blue)_here___ ",
     "",
     {2, 240, 393, 19}},
    {"Label1", "Hint_line", "", "", {2, 262, 392, 17}},
    {"Cmd_update_vimbo",
     "Vb_button",
     "UPDATE",
     "Start the Update Procedure (Use [Initialize] here after!).",
     {2, 283, 73, 18}},
    {"Cmd_show_upd_file",
     "Vb_button",
     "UPD File?",
     "Show update file. Should be in Dir. Ex:\"24xx.upd\" ",
     {77, 283, 73, 18}},
    {"Cmd_read_eeprom",
     "Vb_button",
     "Read EEP",
     "Read Module Eeprom (Use [Initialize] here after!).",
     {152, 283, 75, 18}},
    {"Cmd_write_eeprom",
     "Vb_button",
     "Write EEP",
     "Send Eeprom file to Module (Use [Initialize] here after!).",
     {229, 283, 80, 18}},
    {"Cmd_Show_About", "Vb_button", "About...", "Show other details...", {310, 283, 85, 18}},
    {"List_cmd_list", "Line_list", "", "", {397, 2, 142, 299}},
};

QString text_of(QWidget* w) {
    if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
    if (auto* t = qobject_cast<QLineEdit*>(w)) return t->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* m = qobject_cast<Vb_memo*>(w)) return m->text();
    return {};
}

}  // namespace

class Window_table : public Form_test {};

TEST_F(Window_table, EveryControlHasItsNameKindTextTooltipAndRectangle) {
    Vimbo_form& f = make_form();
    for (const Expected& e : kControls) {
        SCOPED_TRACE(e.name);
        QWidget* w = f.control(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), e.kind);
        EXPECT_EQ(text_of(w), e.text);
        // Two tooltips go on to name their button's right click; their text stays in front.
        const QString name = QLatin1String(e.name);
        if (name == "Cmd_show_upd_file" || name == "Cmd_write_eeprom") {
            EXPECT_TRUE(w->toolTip().startsWith(e.tooltip)) << w->toolTip().toStdString();
            EXPECT_TRUE(w->toolTip().mid(e.tooltip.size()).contains("Right click: "));
        } else {
            EXPECT_EQ(w->toolTip(), e.tooltip);
        }
        EXPECT_EQ(w->geometry(), e.pixels);
    }
    EXPECT_EQ(f.size(), QSize(398, 302));
    EXPECT_EQ(f.title(), "VIMBO");
    EXPECT_EQ(f.objectName(), "vimbo_form");
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(f.windowIcon().pixmap(64).size(), QSize(32, 32));
    // The side list lies beyond the right edge of the window's normal width.
    EXPECT_GE(f.List_cmd_list->geometry().left(), 397);
    EXPECT_GT(f.List_cmd_list->geometry().right(), f.width());
}

TEST_F(Window_table, ColoursFontsAndVisibilityAtStart) {
    Vimbo_form& f = make_form();
    const QColor light_green(192, 255, 192);
    EXPECT_EQ(f.Text_com_number->back_color(), light_green);
    EXPECT_EQ(f.Text_baud_rate->back_color(), light_green);
    EXPECT_EQ(f.Text_module_Id->back_color(), light_green);
    EXPECT_EQ(f.Text_to_copy->back_color(), QColor(224, 255, 255));
    EXPECT_EQ(f.Label1->back_color(), QColor(255, 255, 192));
    EXPECT_NE(f.Label1->styleSheet().indexOf("rgb(255,255,192)"), -1);
    EXPECT_EQ(f.List_cmd_list->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(f.List_cmd_list->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(f.Text_Cmd->palette().color(QPalette::Text), QColor(0, 0, 0));
    // The command line starts with the system's text-box colour: no mode chosen yet.
    EXPECT_EQ(f.Text_Cmd->back_color(), QApplication::palette().color(QPalette::Base));
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.List_1, f.Text_to_copy, f.Text_Cmd, f.List_cmd_list}) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(w->font().family(), "Courier New");
        EXPECT_EQ(w->font().pointSize(), 8);
        EXPECT_FALSE(w->font().bold());
        EXPECT_TRUE(QFontInfo(w->font()).fixedPitch());
    }
    for (auto* b : {f.Cmd_com_usb, f.Cmd_update_vimbo, f.Cmd_read_eeprom, f.Cmd_write_eeprom}) {
        EXPECT_TRUE(b->has_normal_face());
        EXPECT_TRUE(b->styleSheet().isEmpty());
    }
    EXPECT_TRUE(f.Text_to_copy->isHidden());
    EXPECT_TRUE(f.File_list_1->isHidden());
    EXPECT_TRUE(f.List_cmd_list->isHidden());
    EXPECT_FALSE(f.List_1->isHidden());
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_FALSE(f.Timer2->enabled());
    EXPECT_EQ(f.Timer1->interval(), 1000);
    EXPECT_EQ(f.Timer2->interval(), 1000);
    EXPECT_FALSE(f.MSerial.PortOpen());
    EXPECT_EQ(f.List_1->count(), 0);
    EXPECT_EQ(f.state.CrLf, "\r\n");
}

TEST_F(Window_table, ButtonColoursReallyPaintTheFace) {
    Vimbo_form& f = make_form();
    f.show();
    const QColor colours[] = {{255, 0, 0}, {255, 15, 0}, {192, 0, 192}, {0, 192, 0}};
    for (const QColor& c : colours) {
        f.Cmd_read_eeprom->set_back_color(c);
        const QImage face = f.Cmd_read_eeprom->grab().toImage();
        // Sample a point of the face away from the caption and the border.
        EXPECT_EQ(QColor(face.pixel(4, face.height() / 2)), c);
    }
    f.Cmd_read_eeprom->set_back_color(colors::kNormalFace);
    EXPECT_TRUE(f.Cmd_read_eeprom->has_normal_face());
    EXPECT_NE(QColor(f.Cmd_read_eeprom->grab().toImage().pixel(4, 9)), QColor(0, 192, 0));
}

TEST_F(Window_table, FocusOrderAndFocusStart) {
    Vimbo_form& f = make_form();
    f.show();
    QApplication::setActiveWindow(&f);
    EXPECT_EQ(QApplication::focusWidget(), f.Cmd_com_usb);
    QStringList expected;
    for (const char* name : focus_order()) expected << name;
    QStringList chain;
    QWidget* w = f.Cmd_com_usb;
    do {
        if (expected.contains(w->objectName()) && w->parentWidget() == &f) chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != f.Cmd_com_usb && chain.size() < 100);
    EXPECT_EQ(chain, expected);
}
