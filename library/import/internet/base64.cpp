#include "import/internet/base64.h"

#include <array>
#include <cstdint>

namespace pm::inet {

namespace {

constexpr std::array<std::int8_t, 256> makeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = -1;
    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr auto kTable = makeTable();

}  // namespace

std::string decodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3 / 4);
    std::uint32_t bits = 0;
    int count = 0;
    for (char ch : text) {
        if (ch == '=') {
            bits = 0;
            count = 0;
            continue;
        }
        int v = kTable[static_cast<unsigned char>(ch)];
        if (v < 0) continue;
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
    return out;
}

}  // namespace pm::inet
