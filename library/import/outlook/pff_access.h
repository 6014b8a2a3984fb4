#pragma once
// Owned handles and property reads over the .pst reading library, for the
// Outlook object layer only.
//
// The library is loaded when an Outlook folder file is first opened, not
// when the program starts: every command would otherwise pay for loading
// and binding it, and a machine without it runs everything but the Outlook
// import. Its header gives the types and signatures; calls go through api().
//
// The library's header pulls in the header of its optional I/O layer,
// which this program does not use and which need not be installed.
#include <libpff/features.h>
#undef LIBPFF_HAVE_BFIO
#include <libpff.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pm::outlook::pff {

// The library functions the object layer calls.
#define PM_PFF_FUNCTIONS(X)                                                                                      \
    X(check_file_signature) X(error_free) X(error_sprint) X(file_close) X(file_free)                           \
    X(file_get_item_by_identifier) X(file_get_message_store) X(file_get_root_folder) X(file_initialize)        \
    X(file_open) X(folder_get_number_of_sub_folders) X(folder_get_number_of_sub_messages)                      \
    X(folder_get_sub_folder) X(folder_get_sub_message) X(folder_get_utf8_name) X(folder_get_utf8_name_size)    \
    X(item_free) X(item_get_number_of_record_sets) X(item_get_record_set_by_index) X(item_get_type)            \
    X(message_get_client_submit_time) X(message_get_creation_time) X(message_get_delivery_time)                \
    X(message_get_entry_value_utf8_string) X(message_get_entry_value_utf8_string_size)                         \
    X(message_get_html_body) X(message_get_html_body_size) X(message_get_plain_text_body)                      \
    X(message_get_plain_text_body_size) X(message_get_recipients) X(message_get_rtf_body)                      \
    X(message_get_rtf_body_size) X(record_entry_free) X(record_entry_get_data)                                 \
    X(record_entry_get_data_as_32bit_integer) X(record_entry_get_data_as_utf8_string)                          \
    X(record_entry_get_data_as_utf8_string_size) X(record_entry_get_data_size) X(record_set_free)              \
    X(record_set_get_entry_by_type)

// The library's functions, each named as in the library without its prefix.
struct Api {
#define PM_PFF_MEMBER(name) decltype(&::libpff_##name) name = nullptr;
    PM_PFF_FUNCTIONS(PM_PFF_MEMBER)
#undef PM_PFF_MEMBER
};

// The shared library loaded by default.
inline constexpr const char* kDefaultLibrary = "libpff.so.1";

// Loads the library (once; later calls answer at once). False with `error`
// set to a sentence for the person when it or one of its functions cannot
// be found: then no Outlook folder file can be read, and nothing else
// changes.
bool load(std::string& error);
// The loaded functions; only after load() succeeded.
const Api& api();
// Points later loads at another file name, dropping a table already loaded
// (tests use a name that does not exist). Empty: the default library.
void setLibraryName(const std::string& name);

// The library's description of a failure, freed after use.
class Error {
public:
    Error() = default;
    ~Error() { clear(); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;

    libpff_error_t** out() {
        clear();
        return &error_;
    }
    // The library's text ("" when there is none).
    std::string text() const;
    void clear();

private:
    libpff_error_t* error_ = nullptr;
};

// An item (folder, message, recipient list, store), freed with its handle.
class Item {
public:
    Item() = default;
    explicit Item(libpff_item_t* item) : item_(item) {}
    ~Item() { reset(); }
    Item(Item&& other) noexcept : item_(other.item_) { other.item_ = nullptr; }
    Item& operator=(Item&& other) noexcept;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    libpff_item_t* get() const { return item_; }
    libpff_item_t** out() {
        reset();
        return &item_;
    }
    explicit operator bool() const { return item_ != nullptr; }
    void reset();

private:
    libpff_item_t* item_ = nullptr;
};

// Property tags read by the object layer.
enum Tag : std::uint32_t {
    TagSubject = 0x0037,
    TagSentRepresentingName = 0x0042,
    TagSentRepresentingEmail = 0x0065,
    TagSentRepresentingAddressType = 0x0064,
    TagTransportHeaders = 0x007D,
    TagSenderName = 0x0C1A,
    TagSenderEmail = 0x0C1F,
    TagSenderAddressType = 0x0C1E,
    TagRecipientType = 0x0C15,
    TagDisplayTo = 0x0E04,
    TagDisplayName = 0x3001,
    TagAddressType = 0x3002,
    TagEmailAddress = 0x3003,
    TagContainerClass = 0x3613,
    TagIpmSubtreeEntryId = 0x35E0,
    TagSmtpAddress = 0x39FE,
    TagInternetCodePage = 0x3FDE,
    TagSenderSmtpAddress = 0x5D01,
    TagSentRepresentingSmtpAddress = 0x5D02,
};

// A text property of record set `set` of an item (folders, stores and
// recipient lists); nullopt when the item does not hold it.
std::optional<std::string> itemString(libpff_item_t* item, int set, std::uint32_t tag);
// A 32-bit property of record set `set`.
std::optional<std::uint32_t> itemNumber(libpff_item_t* item, int set, std::uint32_t tag);
// A binary property of record set `set`.
std::optional<std::string> itemBinary(libpff_item_t* item, int set, std::uint32_t tag);
// A text property of a message (converted from its code page).
std::optional<std::string> messageString(libpff_item_t* message, std::uint32_t tag);

}  // namespace pm::outlook::pff
