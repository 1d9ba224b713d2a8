#include "app/glyph_strip.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPointF>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr qreal kInchesPerMetre = 1 / 0.0254;

// The text as the painter lays out a single left-aligned line: its glyphs and where they
// stand, in 1/64 pixel from the line's left and top.
struct Shaped {
    QList<quint32> indexes;
    std::vector<int> x64;
    int baseline64 = 0;
    QRawFont font;
};

QRgb pixel_at(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] | 0xff000000U;
}

// Whether two cells of the picture, starting at these columns, hold the same pixels.
bool same_cells(const QImage& picture, int a, int b, int width) {
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        if (!std::equal(row + a, row + a + width, row + b)) return false;
    }
    return true;
}

std::optional<Shaped> shape(const QString& text, const QFont& font, const QPaintDevice& device,
                            int height) {
    QTextLayout layout(text, font, &device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0x01000000);  // never wrapped
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1) return std::nullopt;  // more than one font, or nothing drawn
    // Centred in height as drawText centres it: by the line's ascent and descent.
    const qreal top = (height - (line.ascent() + line.descent())) / 2;
    Shaped shaped{runs[0].glyphIndexes(), {}, int(std::lround(top * 64)), runs[0].rawFont()};
    const QList<QPointF> positions = runs[0].positions();
    const int base = int(std::lround(positions.value(0).y() * 64));
    for (const QPointF& p : positions) {
        if (std::lround(p.y() * 64) != base) return std::nullopt;  // a glyph moved off the line
        shaped.x64.push_back(int(std::lround(p.x() * 64)));
    }
    shaped.baseline64 += base;
    return shaped;
}
}  // namespace

void Glyph_strip::set_look(const Look& look) {
    if (look == look_ && looked_) return;
    looked_ = true;
    look_ = look;
    dpi_device_.setDotsPerMeterX(int(std::lround(look.dpi_x * kInchesPerMetre)));
    dpi_device_.setDotsPerMeterY(int(std::lround(look.dpi_y * kInchesPerMetre)));
    glyphs_ = {};
    advances_.assign(std::size_t(glyphs_.size() * glyphs_.size()), kUnknown);
    face_ = QImage();
    owner_.clear();
    blends_.clear();
    over_plain_.fill(0);
    over_fill_.fill(0);
    proof_ = Proof::pending;
    raw_.reset();
    if (!usable_look()) return;
    face_ = QImage(look.size, look.format);
    plain_row_.assign(std::size_t(look.size.width()), look.back.rgb());
    fill_row_.assign(std::size_t(look.size.width()), look.fill.rgb());
    owner_.assign(std::size_t(look.size.width()) * std::size_t(look.size.height()), 0);
    composes_ = 0;
    cell_ = 2 * look.size.height() + 8;
    // The font and the baseline as the painter's text drawing finds them for a digit.
    if (const auto digit = shape(QStringLiteral("0"), look.font, dpi_device_, look.size.height())) {
        raw_ = digit->font;
        baseline_ = digit->baseline64 / 64.0;
    } else {
        raw_ = QRawFont();  // nothing can be composed in this look
    }
}

bool Glyph_strip::usable_look() const {
    const bool format =
        look_.format == QImage::Format_RGB32 || look_.format == QImage::Format_ARGB32_Premultiplied;
    return format && !look_.size.isEmpty() && look_.pen.alpha() == 255 &&
           look_.back.alpha() == 255 && look_.fill.alpha() == 255 && look_.dpi_x > 0 &&
           look_.dpi_y > 0;
}

bool Glyph_strip::compose(const QString& text, int filled) {
    if (proof_ == Proof::failed || !raw_ || !raw_->isValid()) return false;
    const int width = face_.width();
    filled = std::clamp(filled, 0, width);
    glyphs_of_text_.clear();
    inked_ = false;
    bool unknown_pair = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Glyph* g = glyph(text[i]);
        if (!g) return false;
        glyphs_of_text_.push_back(g);
        unknown_pair = unknown_pair || (i > 0 && advance_of(text[i - 1], text[i]) == kUnknown);
    }
    if (unknown_pair) learn_advances(text);
    placed_.clear();
    int x64 = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (x64 / kPhases - cell_ > width) break;  // no ink of the rest reaches the line
        placed_.push_back({glyphs_of_text_[std::size_t(i)], x64 % kPhases, x64 / kPhases});
        if (i + 1 < text.size()) {
            const std::int16_t advance = advance_of(text[i], text[i + 1]);
            if (advance == kUnusable) return false;
            x64 += advance;
        }
    }
    // The line can be composed: the two colours first, then the glyphs.
    bits_ = reinterpret_cast<QRgb*>(face_.bits());
    for (int y = 0; y < face_.height(); ++y) {
        QRgb* row = bits_ + std::size_t(y) * std::size_t(width);  // 32-bit rows have no padding
        std::copy_n(fill_row_.data(), filled, row);
        std::copy_n(plain_row_.data() + filled, width - filled, row + filled);
    }
    if (++composes_ == 0) std::fill(owner_.begin(), owner_.end(), 0);
    if (composes_ == 0) composes_ = 1;
    // A glyph whose columns of ink no other glyph's reach is inked without looking for them.
    auto tile_of = [](const Placed& p) -> const Tile& {
        return p.glyph->tiles[std::size_t(p.phase)];
    };
    first_ink_after_.assign(placed_.size(), INT_MAX);
    for (std::size_t i = placed_.size(); i-- > 1;) {
        const Tile& tile = tile_of(placed_[i]);
        const int left = tile.dots.empty() ? INT_MAX : placed_[i].pen_x + tile.left;
        first_ink_after_[i - 1] = std::min(first_ink_after_[i], left);
    }
    int last_ink_before = INT_MIN;
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        const Placed& p = placed_[i];
        const Tile& tile = tile_of(p);
        if (tile.dots.empty()) continue;
        const int left = p.pen_x + tile.left, right = p.pen_x + tile.right;
        const bool alone = left > last_ink_before && right < first_ink_after_[i];
        place(*p.glyph, p.phase, p.pen_x, filled, alone);
        last_ink_before = std::max(last_ink_before, right);
    }
    return true;
}

// Inks the tile's pixels, each from the picture over the colour under it. Where a glyph
// before inked the pixel already, the painter blends this one over that blend.
void Glyph_strip::place(const Glyph& glyph, int phase, int pen_x, int filled, bool alone) {
    const Tile& tile = glyph.tiles[std::size_t(phase)];
    const int width = face_.width();
    const int left = pen_x + tile.left, right = pen_x + tile.right;
    inked_ = inked_ || (right >= 0 && left < width);
    if (alone && left >= 0 && right < width && (right < filled || left >= filled)) {
        const QRgb* over = right < filled ? over_fill_.data() : over_plain_.data();
        QRgb* origin = bits_ + pen_x;
        for (const Dot& dot : tile.dots) origin[dot.at] = over[dot.cover];
        return;
    }
    for (const Dot& dot : tile.dots) {
        const int x = pen_x + dot.x;
        if (x < 0 || x >= width) continue;
        QRgb& pixel = bits_[std::size_t(dot.y) * std::size_t(width) + std::size_t(x)];
        std::uint32_t& owner = owner_[std::size_t(dot.y) * std::size_t(width) + std::size_t(x)];
        if (owner == composes_) {
            pixel = blend_over(glyph, phase, dot.cover, pixel);
        } else {
            owner = composes_;
            pixel = x < filled ? over_fill_[dot.cover] : over_plain_[dot.cover];
        }
    }
}

// The painter's blend of a glyph's pixel over a colour depends on that colour and the
// pixel's coverage alone; a blend not seen before is read from the glyph drawn over it.
QRgb Glyph_strip::blend_over(const Glyph& glyph, int phase, std::uint8_t cover, QRgb under) {
    auto key = [under](std::uint8_t c) { return (under & 0xffffffU) << 8U | c; };
    if (const auto known = blends_.find(key(cover)); known != blends_.end()) {
        return known->second;
    }
    const QImage over = drawn(glyph.index, phase, 1, look_.format, QColor(under));
    for (const Dot& dot : glyph.tiles[std::size_t(phase)].dots) {
        blends_.emplace(key(dot.cover), pixel_at(over, cell_ / 2 + dot.x, dot.y));
    }
    return blends_.at(key(cover));
}

void Glyph_strip::prove(const QImage& painted) {
    if (proof_ != Proof::pending || !inked_) return;  // a line without ink proves nothing
    proof_ = painted.convertToFormat(face_.format()) == face_ ? Proof::held : Proof::failed;
}

const Glyph_strip::Glyph* Glyph_strip::glyph(QChar c) {
    const int code = c.unicode();
    if (code < kFirst || code > kLast) return nullptr;
    Glyph& g = glyphs_[std::size_t(code - kFirst)];
    if (!g.tried && !make_glyph(code, g)) return nullptr;
    return g.usable ? &g : nullptr;
}

// A character is usable when the font draws it as one glyph of its own on the line.
bool Glyph_strip::make_glyph(int c, Glyph& out) {
    out.tried = true;
    const auto shaped = shape(QString(QChar(c)), look_.font, dpi_device_, look_.size.height());
    if (!shaped || shaped->indexes.size() != 1 || shaped->font != *raw_ ||
        shaped->baseline64 != std::lround(baseline_ * 64) || shaped->x64[0] != 0) {
        return false;
    }
    out.index = shaped->indexes[0];
    out.usable = make_tiles(out);
    return out.usable;
}

// The glyph drawn at `phases` positions within a pixel from `first` on, side by side in
// cells of its own, over the colour `back`.
QImage Glyph_strip::drawn(quint32 index, int first, int phases, QImage::Format format,
                          QColor back) const {
    QGlyphRun run;
    run.setRawFont(*raw_);
    run.setGlyphIndexes(QList<quint32>(phases, index));
    QList<QPointF> positions;
    for (int k = 0; k < phases; ++k) {
        positions.append(QPointF(k * cell_ + cell_ / 2 + (first + k) / qreal(kPhases), baseline_));
    }
    run.setPositions(positions);
    QImage image(phases * cell_, look_.size.height(), format);
    image.setDotsPerMeterX(dpi_device_.dotsPerMeterX());
    image.setDotsPerMeterY(dpi_device_.dotsPerMeterY());
    image.fill(back);
    QPainter painter(&image);
    painter.setPen(look_.pen);
    painter.drawGlyphRun(QPointF(0, 0), run);
    return image;
}

// A tile for each phase from the glyph drawn over no colour, which gives its coverage. The
// painter's blend over the two colours by coverage is learnt from the glyph drawn over them,
// while it still blends a coverage not seen before.
bool Glyph_strip::make_tiles(Glyph& glyph) {
    const int height = look_.size.height();
    const QImage ink =
        drawn(glyph.index, 0, kPhases, QImage::Format_ARGB32_Premultiplied, Qt::transparent);
    glyph.tiles.assign(kPhases, Tile{});
    bool new_cover = false;
    for (int phase = 0; phase < kPhases; ++phase) {
        const int left = phase * cell_;
        Tile& tile = glyph.tiles[std::size_t(phase)];
        // The painter draws a glyph at a few positions within a pixel only: a phase whose
        // coverage equals the last one's has its tile.
        if (phase > 0 && same_cells(ink, left - cell_, left, cell_)) {
            tile = glyph.tiles[std::size_t(phase - 1)];
            continue;
        }
        tile.dots.reserve(glyph.tiles[std::size_t(std::max(phase - 1, 0))].dots.size());
        for (int y = 0; y < height; ++y) {
            const auto* coverage = reinterpret_cast<const QRgb*>(ink.constScanLine(y)) + left;
            for (int x = 0; x < cell_; ++x) {
                // Over no colour, an opaque pen leaves its coverage as the alpha.
                const auto cover = std::uint8_t(qAlpha(coverage[x]));
                if (cover == 0) continue;
                if (x == 0 || x == cell_ - 1) return false;  // ink beyond the cell
                const int dx = x - cell_ / 2;
                tile.dots.push_back(
                    {dx + y * look_.size.width(), std::int16_t(dx), std::int16_t(y), cover});
                const bool first = tile.dots.size() == 1;
                tile.left = first ? dx : std::min(tile.left, dx);
                tile.right = first ? dx : std::max(tile.right, dx);
                new_cover = new_cover || over_plain_[cover] == 0;
            }
        }
    }
    if (!new_cover) return true;
    const QImage plain = drawn(glyph.index, 0, kPhases, look_.format, look_.back);
    const QImage filled = drawn(glyph.index, 0, kPhases, look_.format, look_.fill);
    for (int phase = 0; phase < kPhases; ++phase) {
        for (const Dot& dot : glyph.tiles[std::size_t(phase)].dots) {
            const int x = phase * cell_ + cell_ / 2 + dot.x;
            over_plain_[dot.cover] = pixel_at(plain, x, dot.y);
            over_fill_[dot.cover] = pixel_at(filled, x, dot.y);
        }
    }
    return true;
}

std::int16_t& Glyph_strip::advance_of(QChar first, QChar second) {
    return advances_[std::size_t(first.unicode() - kFirst) * glyphs_.size() +
                     std::size_t(second.unicode() - kFirst)];
}

// Each character's advance before the next, kerning included, as the shaper places the
// text; a pair the text does not show as those two glyphs is shaped alone, and is unusable
// when it is anything but those two glyphs there too (a ligature).
void Glyph_strip::learn_advances(const QString& text) {
    auto learn = [this](const QString& part) {
        const auto shaped = shape(part, look_.font, dpi_device_, look_.size.height());
        if (!shaped || shaped->font != *raw_ || shaped->indexes.size() != part.size()) return;
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (shaped->indexes[i] != glyph(part[i])->index) return;
        }
        for (qsizetype i = 0; i + 1 < part.size(); ++i) {
            const int advance = shaped->x64[std::size_t(i + 1)] - shaped->x64[std::size_t(i)];
            std::int16_t& known = advance_of(part[i], part[i + 1]);
            if (known == kUnknown && advance > 0 && advance < INT16_MAX) {
                known = std::int16_t(advance);
            }
        }
    };
    learn(text);
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (advance_of(text[i], text[i + 1]) != kUnknown) continue;
        learn(text.mid(i, 2));
        std::int16_t& known = advance_of(text[i], text[i + 1]);
        if (known == kUnknown) known = kUnusable;
    }
}
