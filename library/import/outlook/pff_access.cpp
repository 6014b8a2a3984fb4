#include "import/outlook/pff_access.h"

#include <dlfcn.h>

#include <vector>

namespace pm::outlook::pff {

namespace {

struct Loaded {
    std::string name = kDefaultLibrary;
    Api api;
    bool ready = false;
};

Loaded& loaded() {
    static Loaded state;
    return state;
}

std::string loaderError() {
    const char* text = dlerror();
    return text ? text : "unknown reason";
}

// Fills `api` from `library`; the name of the first function missing, or "".
std::string bindFunctions(void* library, Api& api) {
#define PM_PFF_BIND(name)                                                                        \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(library, "libpff_" #name));            \
    if (!api.name) return "libpff_" #name;
    PM_PFF_FUNCTIONS(PM_PFF_BIND)
#undef PM_PFF_BIND
    return {};
}

// Texts longer than this are not properties the import reads; a damaged
// size must not make it allocate without end.
constexpr std::size_t kLongestProperty = 16 * 1024 * 1024;

// The UTF-8 text of a record entry; nullopt when it has none.
std::optional<std::string> entryString(libpff_record_entry_t* entry) {
    Error error;
    std::size_t size = 0;
    if (api().record_entry_get_data_as_utf8_string_size(entry, &size, error.out()) != 1 || size == 0 ||
        size > kLongestProperty)
        return std::nullopt;
    std::vector<std::uint8_t> buffer(size);
    if (api().record_entry_get_data_as_utf8_string(entry, buffer.data(), size, error.out()) != 1)
        return std::nullopt;
    std::size_t n = 0;
    while (n < size && buffer[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(buffer.data()), n);
}

// Runs `read` on the entry `tag` of record set `set` of `item`.
template <typename Read>
auto withEntry(libpff_item_t* item, int set, std::uint32_t tag, Read read) -> decltype(read(nullptr)) {
    if (!item) return std::nullopt;
    Error error;
    libpff_record_set_t* records = nullptr;
    if (api().item_get_record_set_by_index(item, set, &records, error.out()) != 1 || !records) return std::nullopt;
    libpff_record_entry_t* entry = nullptr;
    auto result = decltype(read(nullptr))();
    if (api().record_set_get_entry_by_type(records, tag, 0, &entry, LIBPFF_ENTRY_VALUE_FLAG_MATCH_ANY_VALUE_TYPE,
                                            error.out()) == 1 &&
        entry) {
        result = read(entry);
        api().record_entry_free(&entry, nullptr);
    }
    api().record_set_free(&records, nullptr);
    return result;
}

}  // namespace

bool load(std::string& error) {
    Loaded& state = loaded();
    if (state.ready) return true;
    dlerror();
    // Kept loaded for the rest of the process: items read from it may live on.
    void* library = dlopen(state.name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        error = "The Outlook folder file reader (" + state.name + ") cannot be loaded: " + loaderError();
        return false;
    }
    Api api;
    if (const std::string missing = bindFunctions(library, api); !missing.empty()) {
        error = "The Outlook folder file reader (" + state.name + ") lacks the function " + missing +
                ": it is not a version this program can use";
        return false;
    }
    state.api = api;
    state.ready = true;
    return true;
}

const Api& api() { return loaded().api; }

void setLibraryName(const std::string& name) {
    Loaded& state = loaded();
    state.name = name.empty() ? kDefaultLibrary : name;
    state.api = Api{};
    state.ready = false;
}

std::string Error::text() const {
    if (!error_) return {};
    char buffer[512] = {};
    if (api().error_sprint(error_, buffer, sizeof buffer) < 0) return {};
    std::string text(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

void Error::clear() {
    if (error_) api().error_free(&error_);
    error_ = nullptr;
}

Item& Item::operator=(Item&& other) noexcept {
    if (this != &other) {
        reset();
        item_ = other.item_;
        other.item_ = nullptr;
    }
    return *this;
}

void Item::reset() {
    if (item_) api().item_free(&item_, nullptr);
    item_ = nullptr;
}

std::optional<std::string> itemString(libpff_item_t* item, int set, std::uint32_t tag) {
    return withEntry(item, set, tag, [](libpff_record_entry_t* e) { return entryString(e); });
}

std::optional<std::uint32_t> itemNumber(libpff_item_t* item, int set, std::uint32_t tag) {
    return withEntry(item, set, tag, [](libpff_record_entry_t* e) -> std::optional<std::uint32_t> {
        if (!e) return std::nullopt;
        Error error;
        std::uint32_t value = 0;
        if (api().record_entry_get_data_as_32bit_integer(e, &value, error.out()) != 1) return std::nullopt;
        return value;
    });
}

std::optional<std::string> itemBinary(libpff_item_t* item, int set, std::uint32_t tag) {
    return withEntry(item, set, tag, [](libpff_record_entry_t* e) -> std::optional<std::string> {
        if (!e) return std::nullopt;
        Error error;
        std::size_t size = 0;
        if (api().record_entry_get_data_size(e, &size, error.out()) != 1 || size > kLongestProperty)
            return std::nullopt;
        std::string data(size, '\0');
        if (size > 0 &&
            api().record_entry_get_data(e, reinterpret_cast<std::uint8_t*>(data.data()), size, error.out()) != 1)
            return std::nullopt;
        return data;
    });
}

std::optional<std::string> messageString(libpff_item_t* message, std::uint32_t tag) {
    if (!message) return std::nullopt;
    Error error;
    std::size_t size = 0;
    if (api().message_get_entry_value_utf8_string_size(message, tag, &size, error.out()) != 1 || size == 0 ||
        size > kLongestProperty)
        return std::nullopt;
    std::vector<std::uint8_t> buffer(size);
    if (api().message_get_entry_value_utf8_string(message, tag, buffer.data(), size, error.out()) != 1)
        return std::nullopt;
    std::size_t n = 0;
    while (n < size && buffer[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(buffer.data()), n);
}

}  // namespace pm::outlook::pff
