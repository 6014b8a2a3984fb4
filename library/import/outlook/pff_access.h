#pragma once
// Owned handles and property reads over the .pst reading library, for the
// Outlook object layer only.
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
