#include "names.h"

#include <algorithm>
#include <cctype>

namespace {
std::string lower(const std::string& text) {
    std::string out;
    for (const char c : text) out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}
}  // namespace

std::string nearestName(const std::string& word, const std::vector<std::string>& known) {
    const std::string typed = lower(word);
    // A slip is a third of the word at most, and at least one character.
    size_t best = std::max<size_t>(1, typed.size() / 3) + 1;
    std::string nearest;
    for (const std::string& name : known) {
        const size_t d = editDistance(typed, lower(name));
        if (d < best) best = d, nearest = name;
    }
    return nearest;
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& known, const std::string& quote) {
    const std::string nearest = nearestName(word, known);
    return nearest.empty() ? "" : "; did you mean " + quote + nearest + quote + "?";
}

std::string shortName(const std::string& name) {
    std::string out;
    for (const char c : lower(name))
        if (c != '_' && c != '-' && c != ' ') out += c;
    return out.rfind("generic", 0) == 0 && out.size() > 7 ? out.substr(7) : out;
}
