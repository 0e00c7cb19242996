#include "leading_number.h"

#include <locale.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "rounding.h"

namespace Engine {

namespace {

std::string withoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\n') out.push_back(ch);
    return out;
}

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

double radixNumber(const std::string& s, int radix) {
    double value = 0.0;
    for (std::size_t k = 2; k < s.size(); ++k) {
        const char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(s[k])));
        int digit = -1;
        if (isDigit(ch)) digit = ch - '0';
        if (radix == 16 && ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        if (digit < 0 || digit >= radix) break;
        value = value * radix + digit;
    }
    return value;
}

// Copies the longest prefix that fits the decimal pattern into a form that
// strtod reads in the C locale ("D" exponents become "e").
std::string decimalPrefix(const std::string& s) {
    std::string out;
    std::size_t k = 0;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) out.push_back(s[k++]);
    bool digits = false, point = false;
    for (; k < s.size(); ++k) {
        if (isDigit(s[k])) {
            digits = true;
        } else if (s[k] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out.push_back(s[k]);
    }
    if (!digits) return {};
    if (k < s.size() && std::string_view("EeDd").find(s[k]) != std::string_view::npos) {
        std::size_t e = k + 1;
        std::string exponent = "e";
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) exponent.push_back(s[e++]);
        const std::size_t firstDigit = e;
        while (e < s.size() && isDigit(s[e])) exponent.push_back(s[e++]);
        if (e > firstDigit) out += exponent;
    }
    return out;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
    const std::string s = withoutBlanks(text);
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return radixNumber(s, 16);
        if (kind == 'O') return radixNumber(s, 8);
    }
    const std::string number = decimalPrefix(s);
    if (number.empty()) return 0.0;
    // The point is always "."; the user's locale must not change that.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(number.c_str(), nullptr, cLocale);
}

int32_t ToFrameCount(double value) {
    return RoundHalfEvenClamped(value);
}

float ToFloat32(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isnan(value)) return 0.0f;
    if (value > kMax) return std::numeric_limits<float>::max();
    if (value < -kMax) return -std::numeric_limits<float>::max();
    return static_cast<float>(value);
}

}  // namespace Engine
