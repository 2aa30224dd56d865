#include "ranges.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "kit/errors.h"
#include "kit/float_text.h"

std::string limitText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    std::string out = text;
    const size_t e = out.find('e');
    if (e == std::string::npos) return out;
    std::string exponent = out.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent = exponent.substr(exponent.find_first_not_of("+-0"));
    return out.substr(0, e + 1) + (negative ? "-" : "") + exponent;
}

std::string readWhole(const std::string& text, long long low, long long high, long long& out) {
    const std::string expected = "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    const size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() <= sign || text.size() > 12 || text.find_first_not_of("0123456789", sign) != std::string::npos)
        return expected;
    const long long value = std::atoll(text.c_str());
    if (value < low || value > high) return expected;
    out = value;
    return "";
}

std::string readNumber(const std::string& text, double low, double high, double& out) {
    const std::string expected = "expected a number from " + limitText(low) + " to " + limitText(high);
    if (!isDecimal(text)) return expected;
    const double value = std::strtod(text.c_str(), nullptr);
    if (!(value >= low && value <= high)) return expected;
    out = value;
    return "";
}

int wholeOption(const std::string& name, const std::string& text, int low, int high) {
    long long value = 0;
    const std::string why = readWhole(text, low, high, value);
    if (!why.empty()) throw UsageError(name + " " + text + ": " + why);
    return int(value);
}

double numberOption(const std::string& name, const std::string& text, double low, double high) {
    double value = 0;
    const std::string why = readNumber(text, low, high, value);
    if (!why.empty()) throw UsageError(name + " " + text + ": " + why);
    return value;
}

void sizeOption(const std::string& name, const std::string& text, int lowWidth, int lowHeight, int high, int& width,
                int& height) {
    const size_t x = text.find_first_of("xX");
    long long w = 0, h = 0;
    if (x == std::string::npos || !readWhole(text.substr(0, x), lowWidth, high, w).empty() ||
        !readWhole(text.substr(x + 1), lowHeight, high, h).empty()) {
        const std::string least = std::to_string(lowWidth), most = std::to_string(high);
        const std::string range = lowWidth == lowHeight
                                      ? "each from " + least + " to " + most
                                      : "from " + least + "x" + std::to_string(lowHeight) + " to " + most + "x" + most;
        throw UsageError(name + " " + text + ": expected WIDTHxHEIGHT, " + range);
    }
    width = int(w), height = int(h);
}

std::string listed(const std::vector<std::string>& words, const char* last) {
    std::string out;
    for (size_t i = 0; i < words.size(); ++i) out += (i == 0 ? "" : i + 1 == words.size() ? last : ", ") + words[i];
    return out;
}

void choiceOption(const std::string& name, const std::string& text, const std::vector<std::string>& choices) {
    for (const std::string& c : choices)
        if (c == text) return;
    throw UsageError(name + " " + text + ": expected " + listed(choices));
}
