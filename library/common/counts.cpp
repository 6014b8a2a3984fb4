#include "common/counts.h"

namespace pm {

std::string groupedNumber(long long n) {
    // The magnitude of the most negative number does not fit a long long.
    const unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    const std::string digits = std::to_string(magnitude);
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

}  // namespace pm
