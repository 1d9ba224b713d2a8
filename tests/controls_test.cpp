#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "app/controls.h"
#include "app/glyph_strip.h"
#include "app/line_list.h"
#include "tests/support/hint_picture.h"
#include "tests/support/virtual_clock.h"

namespace {

// Counts the paint events a widget gets.
class Paint_counter : public QObject {
  public:
    explicit Paint_counter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Lets the event loop run until the condition holds (or a generous bound passes, so that a
// fault fails the test instead of hanging it).
template <typename Condition>
bool events_until(Condition condition) {
    QElapsedTimer bound;
    bound.start();
    while (!condition() && bound.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return condition();
}

const QColor kLightYellow(255, 255, 192);
const QColor kFill(204, 204, 154);  // the light yellow, darker by a quarter

// The hint line as the painter draws it: the base colour, the fill, the text.
QImage painters_drawing(const Hint_line& line) {
    QImage drawn(line.size(), QImage::Format_RGB32);
    drawn.fill(line.back_color());
    QPainter painter(&drawn);
    const int filled = int(std::lround(std::max(line.progress(), 0.0) * line.width()));
    painter.fillRect(QRect(0, 0, filled, line.height()), line.fill_color());
    painter.setFont(line.font());
    painter.setPen(line.palette().color(QPalette::WindowText));
    painter.drawText(line.rect(), Qt::AlignLeft | Qt::AlignVCenter, line.text());
    return drawn;
}

int differing_pixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int pixels = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) pixels += a.pixel(x, y) != b.pixel(x, y);
    }
    return pixels;
}

}  // namespace

TEST(Hint_line_look, FillIsPaintedFromTheLeftInTheDarkerColourUnderTheText) {
    QWidget window;
    Hint_line line(&window);
    line.setGeometry(2, 262, 392, 17);
    line.set_back_color(kLightYellow);
    EXPECT_EQ(line.fill_color(), kFill);
    EXPECT_EQ(painted_fill(line), 0);

    line.set_progress(0);
    EXPECT_EQ(painted_fill(line), 0);
    line.set_progress(0.5);
    EXPECT_EQ(painted_fill(line), 196);
    line.set_progress(63.0 / 64);
    EXPECT_EQ(painted_fill(line), 386);
    line.set_progress(1.5);  // never more than the whole line
    EXPECT_EQ(line.progress(), 1.0);
    EXPECT_EQ(painted_fill(line), 392);
    // The base colour stays in the style sheet while the fill is painted over it.
    EXPECT_NE(line.styleSheet().indexOf("rgb(255,255,192)"), -1);

    // The text is drawn over the fill: the middle row has pixels of neither colour.
    line.setText(":10000000000102030405060708090A0B0C0D0E0F78");
    const QImage picture = line.grab().toImage();
    int text_pixels = 0;
    for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = picture.pixel(x, picture.height() / 2);
        if (p != kFill.rgb() && p != kLightYellow.rgb()) ++text_pixels;
    }
    EXPECT_GT(text_pixels, 20);

    line.set_progress(-1);
    EXPECT_LT(line.progress(), 0);
    EXPECT_EQ(painted_fill(line), 0);

    // A new base colour during a fill: the fill follows it.
    line.set_progress(0.25);
    line.set_back_color(QColor(255, 0, 0));
    EXPECT_EQ(line.fill_color(), QColor(255, 0, 0).darker(125));
    EXPECT_EQ(painted_fill(line), 98);
}

// Faces composed from glyph pictures equal the painter's own drawing of the background, the
// fill and the text pixel for pixel, with the fill edge anywhere, through a glyph too; a
// text they can't promise is drawn by the painter.
TEST(Hint_line_look, ComposedFacesEqualThePaintersDrawing) {
    QWidget window;
    Hint_line line(&window);
    line.setGeometry(2, 262, 392, 17);
    line.set_back_color(kLightYellow);
    QImage target(line.size(), QImage::Format_RGB32);
    auto differing = [&] {
        line.render(&target);
        return differing_pixels(target, painters_drawing(line));
    };
    line.set_text("   ");
    EXPECT_EQ(differing(), 0);  // drawn: a line without ink proves nothing
    line.set_text(":10000000000102030405060708090A0B0C0D0E0F78");
    EXPECT_EQ(differing(), 0);  // drawn, and the look proven by it
    EXPECT_EQ(line.composed_faces(), 0);

    // Hex lines with kerned pairs (AA, BC, DA, FA) and one longer than the line.
    const QStringList texts{":1000100098765432FEDCBA98ABCDEF0123456789ab",
                            "S1130000285F245FDAFA22AA000424290008237D2B",
                            QString(200, QLatin1Char('8'))};
    int composed = 0;
    for (const QString& text : texts) {
        line.set_text(text);
        for (int edge = 0; edge <= line.width(); edge += 7) {
            line.set_progress(double(edge) / line.width());
            EXPECT_EQ(differing(), 0) << text.toStdString() << " filled to " << edge;
            EXPECT_EQ(line.composed_faces(), ++composed);
        }
    }
    // Letters that kern or share pixels, a ligature: composed or not, the same pixels.
    line.set_progress(0.4);
    for (const QString& text : {QString("#$ Hardware Id = #2418 (AT+CSQ) [0..9] {x} ~_|"),
                                QString(" Double Click on the Update.file ( eg: 24xx.Upd )"),
                                QString("AVATAR Tally WAY, LTd.")}) {
        line.set_text(text);
        EXPECT_EQ(differing(), 0) << text.toStdString();
    }
    composed = line.composed_faces();
    // A tab, a character outside ASCII: the painter draws them.
    for (const QString& text : {QString("a\tb"), QString("Grüße")}) {
        line.set_text(text);
        EXPECT_EQ(differing(), 0) << text.toStdString();
        EXPECT_EQ(line.composed_faces(), composed) << text.toStdString();
    }
    // A new colour is a new look: proven by its first face again.
    line.set_back_color(QColor(255, 0, 0));
    line.set_text("0123");
    EXPECT_EQ(differing(), 0);
    EXPECT_EQ(line.composed_faces(), composed);
    line.set_text("4567");
    EXPECT_EQ(differing(), 0);
    EXPECT_EQ(line.composed_faces(), composed + 1);
}

// In a shown window the faces go to the window's own picture, at the line's place in it.
TEST(Hint_line_look, OnTheScreenTheComposedFaceIsTheLinesPicture) {
    QWidget window;
    window.resize(398, 302);
    Hint_line line(&window);
    line.setGeometry(2, 262, 392, 17);
    line.set_back_color(kLightYellow);
    window.show();
    auto on_screen = [&] {
        return window.screen()->grabWindow(window.winId()).toImage().copy(line.geometry());
    };
    line.set_text("AT+CSQ 0123456789");  // drawn by the painter, and proves the look
    ASSERT_TRUE(
        events_until([&] { return differing_pixels(on_screen(), painters_drawing(line)) == 0; }));
    line.set_text(":10001000FA22AA0042");
    line.set_progress(0.5);
    ASSERT_TRUE(events_until([&] { return line.composed_faces() == 1; }));
    EXPECT_EQ(differing_pixels(on_screen(), painters_drawing(line)), 0);
}

// A composed line that differs from the painter's drawing stops composing for that look.
TEST(Hint_line_look, AFaceUnlikeThePaintersStopsComposing) {
    Glyph_strip strip;
    const QFont font;
    strip.set_look(
        {font, Qt::black, kLightYellow, kFill, QSize(392, 17), QImage::Format_RGB32, 96, 96});
    ASSERT_TRUE(strip.compose("0123", 0));
    EXPECT_EQ(strip.proof(), Glyph_strip::Proof::pending);
    QImage unlike = strip.picture();
    unlike.setPixel(0, 0, qRgb(1, 2, 3));
    strip.prove(unlike);
    EXPECT_EQ(strip.proof(), Glyph_strip::Proof::failed);
    EXPECT_FALSE(strip.compose("0123", 0));
    strip.set_look({font, Qt::black, kLightYellow, kFill, QSize(392, 17), QImage::Format_RGB32, 96,
                    96});  // the same look: still stopped
    EXPECT_FALSE(strip.compose("0123", 0));
    strip.set_look({font, Qt::black, kFill, kLightYellow, QSize(392, 17), QImage::Format_RGB32, 96,
                    96});  // a new look starts over
    ASSERT_TRUE(strip.compose("0123", 0));
    strip.prove(strip.picture());
    EXPECT_EQ(strip.proof(), Glyph_strip::Proof::held);
}

// A step of the progress is painted only when the fill grows by a pixel, and in the same
// picture as the record's text.
TEST(Hint_line_look, ProgressRepaintsOnlyWhenTheFillGrowsByAPixel) {
    QWidget window;
    window.resize(398, 302);
    Hint_line line(&window);
    line.setGeometry(2, 262, 392, 17);
    line.set_back_color(kLightYellow);
    Paint_counter counter(&line);
    window.show();
    ASSERT_TRUE(events_until([&] { return counter.paints > 0; }));  // the first picture
    QApplication::processEvents();
    const int at_start = counter.paints;

    // A record: its text and its step of the fill, in one picture.
    line.setText("record 1");
    line.set_progress(0.5);
    ASSERT_TRUE(events_until([&] { return counter.paints > at_start; }));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, at_start + 1);

    line.set_progress(0.5 + 0.2 / 392);  // less than a pixel: nothing to paint
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, at_start + 1);
    line.set_progress(0.5 + 1.0 / 392);  // one pixel more
    ASSERT_TRUE(events_until([&] { return counter.paints > at_start + 1; }));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, at_start + 2);

    line.set_progress(0);  // nothing filled looks like no fill
    line.set_progress(-1);
    line.setText("done");
    ASSERT_TRUE(events_until([&] { return counter.paints > at_start + 2; }));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, at_start + 3);
    EXPECT_EQ(painted_fill(line), 0);
}

// On a clock the face follows the handlers at most once per 40 ms, and only when the text
// or the filled width changed; the handlers read the newest text at once, the last change
// shows by the catch-up, and the end of a fill shows at once.
TEST(Hint_line_look, OnAClockTheFaceFollowsAtMostOnceATick) {
    Virtual_clock clock;
    QWidget window;
    Hint_line line(&window);
    line.setGeometry(2, 262, 392, 17);
    line.set_back_color(kLightYellow);
    line.repaint_in_ticks(clock);
    clock.advance(1000);
    for (int i = 0; i < 100; ++i) {  // a line every 10 ms, each a step of the fill
        clock.at(1000 + i * 10, [&line, i] {
            line.set_text(QString("line %1").arg(i));
            line.set_progress((i + 1) / 100.0);
            EXPECT_EQ(line.hint_text(), QString("line %1").arg(i));
        });
    }
    std::vector<std::int64_t> changes;
    QString face;
    for (int t = 0; t < 1100; ++t) {
        clock.run_pending();
        if (line.text() != face) {
            face = line.text();
            changes.push_back(clock.now_ms());
        }
        clock.advance(1);
    }
    ASSERT_GE(changes.size(), 2u);
    EXPECT_EQ(changes.front(), 1000);  // after a quiet spell: on the loop's next turn
    for (std::size_t i = 1; i < changes.size(); ++i) {
        EXPECT_GE(changes[i] - changes[i - 1], kHintFaceMs);
    }
    EXPECT_LE(changes.size(), 26u);
    EXPECT_LE(changes.back(), 1990 + kHintCatchUpMs);  // the last change, by the catch-up
    EXPECT_EQ(line.text(), "line 99");
    EXPECT_EQ(painted_fill(line), 392);

    // Nothing changed, or less than a pixel: no tick is armed.
    line.set_text("line 99");
    line.set_progress(1.0);
    EXPECT_EQ(clock.timers_enabled(), 0);
    clock.advance(kHintFaceMs);
    line.set_progress(0.5);  // after a quiet spell: on the loop's next turn
    EXPECT_EQ(painted_fill(line), 392);
    clock.run_pending();
    EXPECT_EQ(painted_fill(line), 196);
    line.set_progress(0.5 + 0.2 / 392);
    EXPECT_EQ(clock.timers_enabled(), 0);
    line.set_progress(0.75);  // within a tick of the last change: with a later change...
    EXPECT_EQ(painted_fill(line), 196);
    EXPECT_EQ(clock.timers_enabled(), 1);
    clock.advance(kHintFaceMs);
    line.set_progress(0.8);
    EXPECT_EQ(clock.timers_enabled(), 0);  // ...which wakes no timer
    clock.run_pending();
    EXPECT_EQ(painted_fill(line), 314);
    clock.advance(1);
    line.set_progress(0.9);  // ...or, when none comes, at the catch-up
    clock.advance(kHintCatchUpMs - 2);
    clock.run_pending();
    EXPECT_EQ(painted_fill(line), 314);
    clock.advance(1);
    clock.run_pending();
    EXPECT_EQ(painted_fill(line), 353);
    line.set_progress(-1);  // the end of the fill: at once
    EXPECT_EQ(painted_fill(line), 0);
    EXPECT_EQ(clock.timers_enabled(), 0);
}

TEST(Vb_button_caption, CaptionChangesAtOnceAndTheFaceFollowsInTicks) {
    QWidget window;
    window.resize(398, 302);
    Vb_button plain(&window);
    plain.set_caption("BUSY!");
    EXPECT_EQ(plain.text(), "BUSY!");  // a button without ticks shows it at once

    Vb_button indicator(&window);
    indicator.setGeometry(352, 80, 43, 18);
    indicator.setText("---");
    indicator.repaint_caption_in_ticks();
    Paint_counter counter(&indicator);
    window.show();
    ASSERT_TRUE(events_until([&] { return counter.paints > 0; }));  // the first picture
    QApplication::processEvents();
    const int at_start = counter.paints;

    indicator.set_caption("rx");
    EXPECT_EQ(indicator.caption(), "rx");
    EXPECT_EQ(indicator.text(), "---");  // the face waits for its tick
    ASSERT_TRUE(events_until([&] { return indicator.text() == "rx"; }));
    ASSERT_TRUE(events_until([&] { return counter.paints > at_start; }));
    QApplication::processEvents();
    const int painted = counter.paints;

    // A line that ends and the next one that begins before the tick: the face stays.
    indicator.set_caption("");
    EXPECT_EQ(indicator.caption(), "");
    indicator.set_caption("rx");
    EXPECT_EQ(indicator.caption(), "rx");
    // The next real change is the next repaint.
    indicator.set_caption("");
    ASSERT_TRUE(events_until([&] { return indicator.text().isEmpty(); }));
    ASSERT_TRUE(events_until([&] { return counter.paints > painted; }));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, painted + 1);
    EXPECT_EQ(indicator.caption(), "");
}

// The log's view follows its lines: after a quiet spell on the event loop's next turn, and
// in a flood a little later, but always up to the newest line.
TEST(Line_list_refresh, TheViewCatchesUpWithTheNewestLine) {
    QWidget window;
    window.resize(398, 302);
    Line_list list(&window);
    list.setGeometry(2, 3, 306, 235);
    window.show();
    QApplication::processEvents();
    auto newest_in_view = [&] {
        const QScrollBar* bar = list.verticalScrollBar();
        return bar->maximum() + bar->pageStep() == list.count() && list.top_row() == bar->maximum();
    };
    auto log = [&](const QString& line) {
        list.add_item(line);
        list.set_selected_index(list.count() - 1);
    };

    for (int i = 0; i < 40; ++i) log(QString("line %1").arg(i));
    EXPECT_FALSE(newest_in_view());  // not after every line
    QApplication::processEvents();
    EXPECT_TRUE(newest_in_view());

    // A flood, a line per turn of the event loop.
    for (int i = 40; i < 400; ++i) {
        log(QString("line %1").arg(i));
        QApplication::processEvents();
    }
    ASSERT_TRUE(events_until(newest_in_view));
    EXPECT_EQ(list.item(list.top_row() + list.verticalScrollBar()->pageStep() - 1), "line 399");
    EXPECT_EQ(list.selected_index(), 399);
}
