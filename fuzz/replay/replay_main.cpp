// The replay runner: the harnesses of fuzz/ without libFuzzer, for builds
// and machines that have none (the normal build, CI). It feeds a harness
// every seed it is given, then a bounded number of simple deterministic
// variants of each seed - cut short, single bytes changed, a few bytes put
// in - so each harness meets broken input for a few seconds on every run.
// A crash or hang names the input and leaves it in a file; the exit code is
// then not 0.
//
//   fuzz_replay HARNESS [--selectors N] [--truncate N] [--flips N]
//               [--inserts N] [--max-size BYTES] [--seconds S] PATH...
//
// PATH: a file, or a folder read recursively (files named *.py left out);
// a seed is read up to --max-size bytes (64 KiB unless told: give real
// folder files, such as the .pst files of the corpora, a larger one).
// --selectors N: each seed is given N times, behind each first byte 0..N-1
// (the harnesses that pick a reader by their first byte).
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "replay_registry.h"

namespace pm::fuzz {

std::vector<Harness>& harnesses() {
    static std::vector<Harness> list;
    return list;
}

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string harness;
    std::vector<std::string> paths;
    int selectors = 0;
    std::size_t truncate = 64;    // every cut shorter than this, and a few longer
    std::size_t flips = 16;       // positions changed per seed
    std::size_t inserts = 6;      // positions given extra bytes per seed
    std::size_t maxSize = 65536;  // bytes read of a seed file
    double seconds = 0;           // variants stop after this long (0: never)
};

struct Seed {
    std::string name;
    std::string prefix;  // the selector byte, or nothing
    std::string bytes;
};

// The input running now, for the crash report (read by a signal handler).
const std::string* current = nullptr;
char describing[512];
char crashFile[256];

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

extern "C" void reportCrash(int signal) {
    const char* what = signal == SIGALRM ? "hung on " : "crashed on ";
    writeAll(2, what, std::strlen(what));
    writeAll(2, describing, std::strlen(describing));
    writeAll(2, "; input left in ", 16);
    writeAll(2, crashFile, std::strlen(crashFile));
    writeAll(2, "\n", 1);
    if (current) {
        const int fd = open(crashFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            writeAll(fd, current->data(), current->size());
            close(fd);
        }
    }
    ::signal(signal == SIGALRM ? SIGABRT : signal, SIG_DFL);
    raise(signal == SIGALRM ? SIGABRT : signal);
}

constexpr unsigned kSecondsPerInput = 20;

class Replay {
public:
    Replay(const Harness& harness, const Options& options) : harness_(harness), options_(options) {}

    void run(const Seed& seed, const std::string& payload, const char* variant, std::size_t at) {
        input_ = seed.prefix + payload;
        std::snprintf(describing, sizeof describing, "%s (%s %zu, %zu bytes)", seed.name.c_str(), variant, at,
                      input_.size());
        current = &input_;
        alarm(kSecondsPerInput);
        harness_.run(reinterpret_cast<const std::uint8_t*>(input_.data()), input_.size());
        alarm(0);
        current = nullptr;
        ++inputs_;
    }

    bool timeLeft() const {
        return options_.seconds <= 0 ||
               std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count() < options_.seconds;
    }

    void variants(const Seed& seed) {
        const std::string& b = seed.bytes;
        // Cut short: every length below the limit, then a few spread over the rest.
        for (std::size_t n = 0; n < b.size() && n < options_.truncate && timeLeft(); ++n)
            run(seed, b.substr(0, n), "cut at", n);
        for (std::size_t i = 1; i <= 16 && b.size() > options_.truncate && timeLeft(); ++i) {
            const std::size_t n = options_.truncate + (b.size() - options_.truncate) * i / 17;
            run(seed, b.substr(0, n), "cut at", n);
        }
        // One byte changed: inverted, or made a byte the readers give meaning.
        static const char special[] = {'\0', '\n', '\r', '\xff', '=', '<', ':', ' ', '\x1a', '\x80'};
        for (std::size_t i = 0; i < options_.flips && !b.empty() && timeLeft(); ++i) {
            const std::size_t at = b.size() * i / options_.flips;
            std::string changed = b;
            changed[at] = static_cast<char>(~changed[at]);
            run(seed, changed, "byte inverted at", at);
            changed[at] = special[i % sizeof special];
            run(seed, changed, "byte replaced at", at);
        }
        // A few bytes put in.
        static const char* const extra[] = {"\r\n", "\n\n", "\xff\xff\xff\xff", "\0\0\0\0", "From ", "=?", "\r"};
        static const std::size_t extraSize[] = {2, 2, 4, 4, 5, 2, 1};
        for (std::size_t i = 0; i < options_.inserts && timeLeft(); ++i) {
            const std::size_t at = b.size() * i / options_.inserts;
            const std::size_t k = i % std::size(extraSize);
            std::string longer = b;
            longer.insert(at, extra[k], extraSize[k]);
            run(seed, longer, "bytes put in at", at);
        }
    }

    std::size_t inputs() const { return inputs_; }

private:
    const Harness& harness_;
    const Options& options_;
    std::string input_;
    std::size_t inputs_ = 0;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
};

bool readSeedFile(const fs::path& path, std::size_t maxSize, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(maxSize, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(maxSize));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

// The files of `path` in name order (so every run is the same).
std::vector<fs::path> filesOf(const fs::path& path) {
    std::vector<fs::path> files;
    if (fs::is_directory(path)) {
        for (const auto& entry : fs::recursive_directory_iterator(path))
            if (entry.is_regular_file() && entry.path().extension() != ".py") files.push_back(entry.path());
    } else {
        files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

int usage(const char* text) {
    std::fprintf(stderr, "%s\nusage: fuzz_replay HARNESS [--selectors N] [--truncate N] [--flips N] [--inserts N] "
                 "[--max-size BYTES] [--seconds S] PATH...\n", text);
    return 2;
}

bool parseOptions(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.harness = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--", 0) == 0) {
            if (i + 1 >= argc) return false;
            char* end = nullptr;
            const double value = std::strtod(argv[++i], &end);
            if (*end != '\0' || value < 0) return false;
            const auto count = static_cast<std::size_t>(value);
            if (a == "--selectors") o.selectors = static_cast<int>(std::min<std::size_t>(count, 256));
            else if (a == "--truncate") o.truncate = count;
            else if (a == "--flips") o.flips = count;
            else if (a == "--inserts") o.inserts = count;
            else if (a == "--max-size") o.maxSize = count;
            else if (a == "--seconds") o.seconds = value;
            else return false;
        } else {
            o.paths.push_back(a);
        }
    }
    return !o.paths.empty();
}

}  // namespace

}  // namespace pm::fuzz

int main(int argc, char** argv) {
    using namespace pm::fuzz;
    Options options;
    if (!parseOptions(argc, argv, options)) return usage("bad arguments");
    const Harness* harness = nullptr;
    for (const Harness& h : harnesses())
        if (h.name == options.harness) harness = &h;
    if (!harness) return usage(("no harness " + options.harness).c_str());

    std::snprintf(crashFile, sizeof crashFile, "fuzz-replay-crash-%s", options.harness.c_str());
    for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) ::signal(s, reportCrash);
    if (harness->initialise) harness->initialise(&argc, &argv);

    std::vector<Seed> seeds;
    for (const std::string& path : options.paths) {
        if (!fs::exists(path)) {
            std::fprintf(stderr, "%s does not exist\n", path.c_str());
            return 2;
        }
        for (const fs::path& file : filesOf(path)) {
            Seed seed;
            seed.name = file.string();
            if (!readSeedFile(file, options.maxSize, seed.bytes)) {
                std::fprintf(stderr, "%s cannot be read\n", seed.name.c_str());
                return 2;
            }
            if (options.selectors == 0) {
                seeds.push_back(std::move(seed));
                continue;
            }
            for (int n = 0; n < options.selectors; ++n) {
                seeds.push_back(seed);
                seeds.back().prefix.assign(1, static_cast<char>(n));
                seeds.back().name += " behind byte " + std::to_string(n);
            }
        }
    }

    const auto began = std::chrono::steady_clock::now();
    Replay replay(*harness, options);
    // Every seed as it is first, so a time limit never leaves one out.
    for (const Seed& seed : seeds) replay.run(seed, seed.bytes, "as it is", 0);
    for (const Seed& seed : seeds) {
        if (!replay.timeLeft()) break;
        replay.variants(seed);
    }
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%s: %zu inputs from %zu seeds in %.1f s\n", options.harness.c_str(), replay.inputs(), seeds.size(),
                took);

    // The harnesses leave their input files (and the capture harness its
    // installation), named by process.
    const std::string mine = "pm-fuzz-" + std::to_string(getpid());
    const std::string capture = "pm-fuzz-capture-" + std::to_string(getpid());
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(inputDirectory(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(mine, 0) == 0 || name == capture) fs::remove_all(entry.path(), ignored);
    }
    return 0;
}
