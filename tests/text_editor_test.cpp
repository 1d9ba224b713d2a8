#include <gtest/gtest.h>

#include "app/text_editor.h"
#include "tests/support/fakes.h"
#include "tests/support/qt_printers.h"

TEST(Text_editor, DesktopHandlerFirstThenTheUsersEditorInATerminalElseNothing) {
    Fake_editor launcher;
    EXPECT_TRUE(open_in_text_editor(launcher, "/tmp/M35_cmd.txt",
                                    {"/usr/bin/xdg-open", "/usr/bin/xterm", "vi"}));
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], (QStringList{"/usr/bin/xdg-open", "/tmp/M35_cmd.txt"}));

    EXPECT_TRUE(open_in_text_editor(launcher, "/tmp/a b.txt", {"", "/usr/bin/xterm", "nano"}));
    EXPECT_EQ(launcher.started[1], (QStringList{"/usr/bin/xterm", "-e", "nano", "/tmp/a b.txt"}));

    EXPECT_FALSE(open_in_text_editor(launcher, "/tmp/x.txt", {"", "/usr/bin/xterm", ""}));
    EXPECT_FALSE(open_in_text_editor(launcher, "/tmp/x.txt", {"", "", "vi"}));
    EXPECT_EQ(launcher.started.size(), 2u);

    launcher.can_start = false;
    EXPECT_FALSE(open_in_text_editor(launcher, "/tmp/x.txt", {"/usr/bin/xdg-open", "", ""}));
}
