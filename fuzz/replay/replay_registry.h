#pragma once
// The harnesses built into the replay runner: each one's entry points,
// registered by the small wrapper the build generates around its source.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pm::fuzz {

using RunInput = int (*)(const std::uint8_t* data, std::size_t size);
using Initialise = int (*)(int* argc, char*** argv);

struct Harness {
    std::string name;
    RunInput run = nullptr;
    Initialise initialise = nullptr;  // null when the harness needs none
};

// Every registered harness.
std::vector<Harness>& harnesses();

// Registers one harness at start-up (a static object of each wrapper).
struct Registered {
    Registered(const char* name, RunInput run, Initialise initialise) {
        harnesses().push_back({name, run, initialise});
    }
};

}  // namespace pm::fuzz
