#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// A line of text, left-aligned and centred in height, over a plain background whose left
// part is filled in another colour, composed from glyph pictures instead of being laid out
// and blended anew. Each picture is the painter's own drawing of one glyph at one of the 64
// positions within a pixel, over each of the two colours, so a composed line can equal
// QPainter::drawText's pixel for pixel. The strip says so only once it has seen it: the
// first line it composes for a look is compared with the line the painter drew (prove);
// until then, after a mismatch, and for any line it cannot compose exactly (a character
// outside printable ASCII or outside the font, a ligature), compose says no and the caller
// draws the text itself.
class Glyph_strip {
  public:
    struct Look {
        QFont font;
        QColor pen, back, fill;
        QSize size;
        QImage::Format format = QImage::Format_Invalid;
        int dpi_x = 0, dpi_y = 0;
        bool operator==(const Look&) const = default;
    };
    enum class Proof { pending, held, failed };

    // A look other than the last drops every picture made for it.
    void set_look(const Look& look);
    // Composes the text with `filled` columns of fill into picture(); false when it can't
    // promise the painter's pixels.
    bool compose(const QString& text, int filled);
    const QImage& picture() const { return face_; }
    // The painter's own drawing of the text last composed: a match lets later lines be
    // composed, a mismatch stops it for this look.
    void prove(const QImage& painted);
    Proof proof() const { return proof_; }

  private:
    static constexpr int kPhases = 64;  // positions within a pixel, as the painter counts
    struct Dot {                        // a pixel the glyph inks, from the pen's whole pixel
        std::int32_t at = 0;            // its offset in the face: x + y * the face's width
        std::int16_t x = 0, y = 0;
        std::uint8_t cover = 0;  // the glyph's coverage of it
    };
    struct Tile {
        std::vector<Dot> dots;
        int left = 0, right = -1;  // the columns of ink, from the pen's whole pixel
    };
    struct Glyph {
        bool tried = false, usable = false;
        quint32 index = 0;
        std::vector<Tile> tiles;  // one per phase, made when the character is first drawn
    };
    static constexpr int kFirst = 0x20, kLast = 0x7e;
    static constexpr std::int16_t kUnknown = INT16_MIN, kUnusable = INT16_MIN + 1;

    bool usable_look() const;
    const Glyph* glyph(QChar c);
    bool make_glyph(int c, Glyph& out);
    bool make_tiles(Glyph& glyph);
    std::int16_t& advance_of(QChar first, QChar second);
    void learn_advances(const QString& text);
    QImage drawn(quint32 index, int first, int phases, QImage::Format format, QColor back) const;
    void place(const Glyph& glyph, int phase, int pen_x, int filled, bool alone);
    QRgb blend_over(const Glyph& glyph, int phase, std::uint8_t cover, QRgb under);

    Look look_;
    QImage dpi_device_{1, 1, QImage::Format_ARGB32_Premultiplied};
    std::optional<QRawFont> raw_;
    qreal baseline_ = 0;
    std::array<Glyph, kLast - kFirst + 1> glyphs_{};
    std::vector<std::int16_t> advances_;  // a character's advance before the next, 1/64 px
    QImage face_;
    struct Placed {
        const Glyph* glyph;
        int phase, pen_x;
    };
    std::vector<const Glyph*> glyphs_of_text_;
    std::vector<Placed> placed_;
    std::vector<int> first_ink_after_;                // the leftmost ink of the glyphs after each
    QRgb* bits_ = nullptr;                            // the face's pixels while it is composed
    std::vector<QRgb> plain_row_, fill_row_;          // a row of each colour, to start a face from
    std::vector<std::uint32_t> owner_;                // which compose last inked a pixel
    std::unordered_map<std::uint32_t, QRgb> blends_;  // over a colour, by coverage
    std::array<QRgb, 256> over_plain_{}, over_fill_{};  // the same over the two colours; 0: unseen
    std::uint32_t composes_ = 0;
    bool inked_ = false;  // the last line composed has a pixel of ink
    int cell_ = 0;        // the width each glyph picture is drawn in: two line heights and more
    bool looked_ = false;
    Proof proof_ = Proof::pending;
};
