#pragma once
// Outlook's object model over an Outlook folder file (.pst or .ost), read
// only: the session stands for the application with its MAPI namespace,
// and offers what the import asks of Outlook - the namespace's folders,
// each folder's default item type, name, items and subfolders, and per item
// its subject, receivers, sender, body, times and recipients, and a reply.
//
// Indices are 1-based as in the object model. A property that cannot be
// read is nullopt (the object model's failed read): the caller treats it as
// absent. Every object owns its handle and releases it when destroyed.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/dates.h"

namespace pm::outlook {

class Session;
class MailItem;

// Default item types of folders.
enum ItemType : int { MailItemType = 0, AppointmentItemType = 1, ContactItemType = 2, TaskItemType = 3,
                      JournalItemType = 4, NoteItemType = 5 };

// Recipient types.
enum RecipientType : int { Originator = 0, ToRecipient = 1, CcRecipient = 2, BccRecipient = 3 };

struct Recipient {
    std::optional<int> type;  // RecipientType
    std::optional<std::string> address;
    std::optional<std::string> name;
};

class Folder {
public:
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::optional<std::string> name() const;
    // By the folder's container class; a folder that names none holds mail.
    std::optional<int> defaultItemType() const;
    // Items of the folder (mail, posts, meetings ... whatever it holds).
    std::optional<int> itemCount() const;
    // Item `index` (1-based); nullptr when it cannot be read.
    std::unique_ptr<MailItem> item(int index) const;
    std::optional<int> folderCount() const;
    std::unique_ptr<Folder> folder(int index) const;

private:
    friend class Session;
    struct Handle;
    Folder(const Session& session, std::unique_ptr<Handle> handle, std::string displayName);

    const Session& session_;
    std::unique_ptr<Handle> handle_;
    std::string displayName_;  // the store's name for its top folder, else ""
};

class MailItem {
public:
    ~MailItem();
    MailItem(const MailItem&) = delete;
    MailItem& operator=(const MailItem&) = delete;

    // The subject without the stored prefix marker.
    std::optional<std::string> subject() const;
    // The receivers' names as shown ("Ann Smith; Bob Jones").
    std::optional<std::string> to() const;
    std::optional<std::string> senderName() const;
    // The body as plain text: the text body, else the HTML body through the
    // HTML text rules, else the text of the RTF body; at most `maxBytes`.
    std::optional<std::string> body(std::size_t maxBytes) const;
    std::optional<DateTime> creationTime() const;
    std::optional<DateTime> sentOn() const;
    std::optional<DateTime> receivedTime() const;
    std::vector<Recipient> recipients() const;
    // A reply to the item, addressed to the item's sender (or to whom the
    // item asks replies to go); its recipients() tell who that is. nullptr
    // when no reply can be made.
    std::unique_ptr<MailItem> reply() const;

private:
    friend class Folder;
    struct Handle;
    explicit MailItem(std::unique_ptr<Handle> handle);
    MailItem(std::vector<Recipient> replyRecipients);

    std::unique_ptr<Handle> handle_;
    std::vector<Recipient> replyRecipients_;  // a reply item holds only these
};

class Session {
public:
    // Opens the folder file. nullptr with `error` set when it cannot be
    // opened or is not an Outlook folder file, or when the reading library
    // cannot be loaded (loaded here, on the first file opened).
    static std::unique_ptr<Session> open(const std::string& path, std::string& error);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The namespace's folders: the top folder of the store, named as the
    // store is.
    int folderCount() const;
    std::unique_ptr<Folder> folder(int index) const;

    const std::string& path() const { return path_; }

private:
    friend class Folder;
    struct File;
    Session(std::string path, std::unique_ptr<File> file);

    std::string path_;
    std::unique_ptr<File> file_;
};

// The plain text Outlook shows for a body kept as text, HTML or RTF: the
// text when there is one, else the HTML through the HTML text rules (read
// in the item's Internet code page, a Windows code page number; 0 when it
// declares none), else the RTF's text; cut to `maxBytes` at a character
// boundary. nullopt when the item keeps no body at all.
std::optional<std::string> bodyText(const std::optional<std::string>& text, const std::optional<std::string>& html,
                                    std::uint32_t codePage, const std::optional<std::string>& rtf,
                                    std::size_t maxBytes);

// A FILETIME (100 ns since 1601, UTC) as local date and time; nullopt for 0
// or a time outside the calendar.
std::optional<DateTime> localTimeOf(std::uint64_t fileTime);

// The plain text of an RTF body: paragraph and line marks become line
// breaks, escaped and Unicode characters are decoded, destinations that
// hold no text (font and colour tables, pictures ...) are left out. An RTF
// body that wraps HTML gives the HTML's text by the HTML text rules.
std::string rtfToText(std::string_view rtf);

}  // namespace pm::outlook
