#include "cli/plain_text.h"


namespace pm::cli {

std::string groupedNumber(long long n) {
    const std::string digits = std::to_string(n < 0 ? -(n + 1) + 1ULL : static_cast<unsigned long long>(n));
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

std::string countOf(long long n, std::string_view singular, std::string_view plural) {
    std::string noun(n == 1 || n == -1 ? singular : plural.empty() ? std::string(singular) + "s" : plural);
    return groupedNumber(n) + " " + noun;
}

}  // namespace pm::cli
