#include "transfer/transfer_buttons.h"

#include <algorithm>
#include <iterator>

#include "base/colors.h"

namespace transfer_buttons {

const QString& idle_caption(Transfer_button button) {
    switch (button) {
        case Transfer_button::read_eeprom:
            return kReadEepIdle;
        case Transfer_button::write_eeprom:
            return kWriteEepIdle;
        case Transfer_button::update:
            break;
    }
    return kUpdateIdle;
}

bool another_is_busy(const Transfer_view& view, Transfer_button button) {
    const Transfer_button all[] = {Transfer_button::read_eeprom, Transfer_button::write_eeprom,
                                   Transfer_button::update};
    return std::any_of(std::begin(all), std::end(all), [&](Transfer_button other) {
        return other != button && is_busy(view, other);
    });
}

void make_busy(Transfer_view& view, Transfer_button button, const QColor& color) {
    view.set_caption(button, kBusy);
    view.set_color(button, color);
}

void make_idle(Transfer_view& view, Transfer_button button) {
    view.set_color(button, colors::kNormalFace);
    view.set_caption(button, idle_caption(button));
}

}  // namespace transfer_buttons
