#include "app/log_search.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "app/line_list.h"

namespace {
// Latin-1 case folding as a table: the search runs over millions of characters.
struct Fold_table {
    std::array<unsigned char, 256> to_lower{};
    Fold_table() {
        for (int c = 0; c < 256; ++c) {
            const char16_t lower = QChar(char16_t(c)).toLower().unicode();
            to_lower[std::size_t(c)] = lower < 256 ? (unsigned char)lower : (unsigned char)c;
        }
    }
    unsigned char operator()(char c) const { return to_lower[(unsigned char)c]; }
};
const Fold_table fold;

// Horspool's search over folded bytes: a mismatch skips ahead by up to the needle's length.
class Folded_search {
  public:
    explicit Folded_search(std::string needle) : needle_(std::move(needle)) {
        const std::size_t m = needle_.size();
        skip_.fill(m);
        for (std::size_t i = 0; i + 1 < m; ++i) skip_[(unsigned char)needle_[i]] = m - 1 - i;
    }
    bool in(std::string_view text) const {
        const std::size_t m = needle_.size();
        if (text.size() < m) return false;
        for (std::size_t at = 0; at + m <= text.size();) {
            std::size_t j = m;
            while (j > 0 && fold(text[at + j - 1]) == (unsigned char)needle_[j - 1]) --j;
            if (j == 0) return true;
            at += skip_[fold(text[at + m - 1])];
        }
        return false;
    }

  private:
    std::string needle_;
    std::array<std::size_t, 256> skip_{};
};
}  // namespace

Found_row find_row(const Line_store& lines, const QString& needle, int from, bool forward) {
    const int count = lines.count();
    if (needle.isEmpty() || count == 0) return {};
    std::string folded;
    for (QChar c : needle) {
        if (c.unicode() > 255) return {};  // the log holds 8-bit text only
        folded += char(fold(char(c.unicode())));
    }
    const Folded_search search(std::move(folded));
    // A start beyond an end begins at the other end, which is going round already.
    const bool beyond = forward ? from >= count : from < 0;
    const int start = beyond ? (forward ? 0 : count - 1) : std::clamp(from, 0, count - 1);
    for (int n = 0; n < count; ++n) {
        const int row = forward ? (start + n) % count : (start - n + count) % count;
        if (search.in(lines.bytes(row))) {
            return {row, beyond || (forward ? row < start : row > start)};
        }
    }
    return {};
}
