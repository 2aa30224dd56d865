#include "errors.h"

#include <cstdio>
#include <new>

std::string printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(const std::string& word) { return "'" + printable(word) + "'"; }

std::string messageOf(const std::exception& e) {
    return dynamic_cast<const std::bad_alloc*>(&e) ? "out of memory" : e.what();
}
