#include "float_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "errors.h"

bool isDecimal(const std::string& text) {
    size_t i = 0, digits = 0;
    const auto run = [&] {
        const size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    digits += run();
    if (i < text.size() && text[i] == '.') ++i, digits += run();
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (run() == 0) return false;
    }
    return i == text.size();
}

std::string readFloat(const std::string& text, float& out) {
    if (!isDecimal(text)) {
        const double v = std::strtod(text.c_str(), nullptr);
        const bool word = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0])) &&
                          (std::isnan(v) || std::isinf(v));
        return quoted(text) + " is not a " + (word ? "finite number" : "number");
    }
    const double wide = std::strtod(text.c_str(), nullptr);
    const float value = static_cast<float>(wide);
    if (std::isinf(wide) || std::isinf(value)) return quoted(text) + " lies outside a float's range (3.4e38)";
    out = value;
    return "";
}
