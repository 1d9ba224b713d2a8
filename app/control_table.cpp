#include "app/control_table.h"

#include <cmath>

namespace {
using K = Control_kind;
using namespace colors;
const QColor kDefault{};
}  // namespace

QRect twips_to_pixels(const QRect& t) {
    auto px = [](int twips) { return int(std::lround(double(twips) / kTwipsPerPixel)); };
    return {px(t.x()), px(t.y()), px(t.width()), px(t.height())};
}

const std::vector<Control_entry>& control_table() {
    static const std::vector<Control_entry> table{
        {"Cmd_com_usb", K::button, "Com/usb",
         "Click to select Comport bellow (also via USB converter)", {4656, 48, 1268, 276}, kDefault, kDefault},
        {"Text_com_number", K::text_box, "", "ComPort number. See Cmd [Read Infos] for infos.",
         {4632, 312, 408, 288}, kLightGreen, kDefault},
        {"Text_baud_rate", K::text_box, "",
         "Baud Rate. See Cmd [Read Infos] for infos or doubleClick...", {5040, 312, 864, 288},
         kLightGreen, kDefault},
        {"Text_module_Id", K::text_box, "", "ENTER GSM Engine model Id. eg: MC39, Ti35, W218,,,,   ",
         {4632, 576, 1268, 288}, kLightGreen, kDefault},
        {"Cmd_save_settings", K::button, "Save Set,", "Click to save above settings.",
         {4656, 888, 1272, 300}, kDefault, kDefault},
        {"Cmd_reserve_1", K::button, "--------", "Click to add separator to list",
         {4656, 1200, 600, 264}, kDefault, kDefault},
        {"Cmd_reserve_2", K::button, "---", "Click to clear Rx from controller!",
         {5280, 1200, 650, 264}, kDefault, kDefault},
        {"Cmd_read_infos", K::button, "Read Infos", "Click to open info file with Notepad.",
         {4656, 1776, 1268, 324}, kDefault, kDefault},
        {"Cmd_initialize_vimbo", K::button, "Initialize", "Click to initialize / Reset Vimbo module.",
         {4656, 2112, 1268, 300}, kDefault, kDefault},
        {"Cmd_exit", K::button, "Close/Exit", "Finish...", {4656, 2424, 1268, 300}, kDefault, kDefault},
        {"Cmd_show_cmd_list", K::button, "Show Cmds", "Click to show Cmd examples. Right to open the file.",
         {4656, 2736, 1268, 276}, kDefault, kDefault},
        {"Cmd_start_SMS_mode", K::button, "CMD",
         "Click for Pc ComManD mode to controller (Blue cmd line).", {4656, 3024, 660, 276}, kDefault,
         kDefault},
        {"Cmd_start_AT_mode", K::button, "AT+", "Click for AT+ command mode to GSM module (Red).",
         {5328, 3024, 600, 276}, kDefault, kDefault},
        {"Cmd_send_cmd", K::button, "Send", "Click to send the command in text box (right=no CR).",
         {4656, 3312, 1268, 276}, kDefault, kDefault},
        {"List_1", K::line_list, "", "", {24, 48, 4596, 3528}, kDefault, kDefault, true},
        {"Text_to_copy", K::memo, "", "", {96, 120, 4476, 3396}, kLightCyan, kDefault, true, false},
        {"File_list_1", K::file_list, "", "", {1680, 1104, 2148, 2184}, kDefault, kDefault, false, false},
        {"Text_Cmd", K::text_box, "__Write_AT_Cmd_(red)_or_SMS_(blue)_here___ ", "",
         {24, 3600, 5892, 288}, kDefault, kBlack, true},
        {"Label1", K::hint_line, "", "", {24, 3936, 5880, 252}, kLightYellow, kDefault},
        {"Cmd_update_vimbo", K::button, "UPDATE",
         "Start the Update Procedure (Use [Initialize] here after!).", {24, 4248, 1100, 276}, kDefault,
         kDefault},
        {"Cmd_show_upd_file", K::button, "UPD File?",
         "Show update file. Should be in Dir. Ex:\"24xx.upd\" ", {1152, 4248, 1100, 276}, kDefault,
         kDefault},
        {"Cmd_read_eeprom", K::button, "Read EEP", "Read Module Eeprom (Use [Initialize] here after!).",
         {2280, 4248, 1128, 276}, kDefault, kDefault},
        {"Cmd_write_eeprom", K::button, "Write EEP",
         "Send Eeprom file to Module (Use [Initialize] here after!).", {3432, 4248, 1200, 276},
         kDefault, kDefault},
        {"Cmd_Show_About", K::button, "About...", "Show other details...", {4656, 4248, 1268, 276},
         kDefault, kDefault},
        {"List_cmd_list", K::line_list, "", "", {5952, 24, 2124, 4488}, kBlack, kYellow, true, false},
    };
    return table;
}

const std::vector<const char*>& focus_order() {
    static const std::vector<const char*> order{
        "Cmd_com_usb",       "Cmd_exit",         "Cmd_read_infos",    "Text_com_number",
        "Cmd_update_vimbo",  "Cmd_show_upd_file", "Cmd_read_eeprom",  "Cmd_write_eeprom",
        "Cmd_Show_About",    "Cmd_initialize_vimbo", "List_1",        "Cmd_send_cmd",
        "Cmd_show_cmd_list", "Cmd_start_SMS_mode", "Text_Cmd",        "Cmd_start_AT_mode",
        "List_cmd_list",     "Text_to_copy",     "Text_baud_rate",    "Text_module_Id",
        "Cmd_save_settings", "Cmd_reserve_1",    "File_list_1",       "Cmd_reserve_2"};
    return order;
}
