#pragma once
// Numbers as people read them in sentences, in command mode and windows alike.
#include <string>
#include <string_view>

namespace pm {

// 59819 -> "59,819".
std::string groupedNumber(long long n);

// A count with its noun, in the singular for one: "1 message",
// "3 messages", "12,000 messages", "2 databases". `plural` defaults to the
// singular with an "s".
std::string countOf(long long n, std::string_view singular, std::string_view plural = {});

}  // namespace pm
