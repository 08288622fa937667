#include "raster/Suggest.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Optimal string alignment distance: adjacent swaps count as one edit, as typing slips do.
std::size_t edits(std::string_view a, std::string_view b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t change = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

} // namespace

std::string didYouMean(std::string_view word, const std::vector<std::string_view>& names) {
    // A word from an untrusted file may be long; a name is never more than a few dozen letters.
    if (word.empty() || word.size() > 64) return {};
    std::string_view best;
    std::size_t bestEdits = 0;
    for (std::string_view name : names) {
        const std::size_t e = edits(word, name);
        if (best.empty() || e < bestEdits) {
            best = name;
            bestEdits = e;
        }
    }
    // A third of the letters wrong is still a slip; more is another word.
    const std::size_t allowed = std::max<std::size_t>(1, std::max(word.size(), best.size()) / 3);
    if (best.empty() || best == word || bestEdits > allowed) return {};
    return " (did you mean " + std::string(best) + "?)";
}
