#include "errors.h"

#include <cstdio>

std::string quoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "'";
}
