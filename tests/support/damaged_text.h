#pragma once

#include <random>
#include <string>

namespace tarnwick::testing {

// A copy of `text` with one to four random edits: a byte inserted, a few bytes erased or a
// byte replaced, with any value from 00 to FF. For feeding readers damaged files.
inline std::string damagedText(std::string text, std::mt19937& random) {
    for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
        const std::size_t at = random() % (text.size() + 1);
        switch (random() % 3) {
            case 0:
                text.insert(at, 1, static_cast<char>(random()));
                break;
            case 1:
                text.erase(at, 1 + random() % 8);
                break;
            default:
                if (at < text.size()) text[at] = static_cast<char>(random());
        }
    }
    return text;
}

}  // namespace tarnwick::testing
