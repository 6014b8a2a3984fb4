// The session and its folders over the .pst reading library.
#include <ctime>
#include <filesystem>

#include "import/outlook/outlook_item_handle.h"
#include "import/outlook/outlook_session.h"
#include "import/outlook/pff_access.h"

namespace pm::outlook {

namespace {

// FILETIME ticks per second and the seconds from 1601 to 1970.
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSecondsTo1970 = 11'644'473'600;
constexpr std::size_t kEntryIdNodeOffset = 20;

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

struct Session::File {
    libpff_file_t* file = nullptr;
    std::string storeName;
    std::uint32_t topFolder = 0;  // identifier of the folder tree a person sees; 0: unknown

    ~File() {
        if (!file) return;
        pff::api().file_close(file, nullptr);
        pff::api().file_free(&file, nullptr);
    }
};

struct Folder::Handle {
    pff::Item item;
};

std::optional<DateTime> localTimeOf(std::uint64_t fileTime) {
    if (fileTime == 0) return std::nullopt;
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    if (seconds < kSecondsTo1970) return std::nullopt;
    const auto unixTime = static_cast<std::time_t>(seconds - kSecondsTo1970);
    std::tm local{};
    if (!localtime_r(&unixTime, &local)) return std::nullopt;
    const LONG day = dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    if (day == 0) return std::nullopt;
    const LONG hundredths = static_cast<LONG>((fileTime / 100'000) % 100);
    return DateTime{day, timeOf(local.tm_hour, local.tm_min, local.tm_sec % 60, hundredths)};
}

// --- session -----------------------------------------------------------------

std::unique_ptr<Session> Session::open(const std::string& path, std::string& error) {
    if (!pff::load(error)) return nullptr;
    pff::Error e;
    if (pff::api().check_file_signature(path.c_str(), e.out()) != 1) {
        const std::string reason = e.text();
        std::error_code ec;
        error = std::filesystem::is_regular_file(path, ec)
                    ? path + " is not an Outlook folder file"
                    : path + " cannot be read" + (reason.empty() ? "" : ": " + reason);
        return nullptr;
    }
    auto file = std::make_unique<File>();
    if (pff::api().file_initialize(&file->file, e.out()) != 1) {
        error = "The Outlook folder file reader cannot start: " + e.text();
        return nullptr;
    }
    if (pff::api().file_open(file->file, path.c_str(), LIBPFF_OPEN_READ, e.out()) != 1) {
        error = path + " cannot be read as an Outlook folder file: " + e.text();
        pff::api().file_free(&file->file, nullptr);
        return nullptr;
    }
    pff::Item store;
    if (pff::api().file_get_message_store(file->file, store.out(), e.out()) == 1 && store) {
        file->storeName = pff::itemString(store.get(), 0, pff::TagDisplayName).value_or("");
        const std::string entryId = pff::itemBinary(store.get(), 0, pff::TagIpmSubtreeEntryId).value_or("");
        if (entryId.size() >= kEntryIdNodeOffset + 4) {
            const auto* p = reinterpret_cast<const unsigned char*>(entryId.data()) + kEntryIdNodeOffset;
            file->topFolder = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        }
    }
    if (file->storeName.empty()) file->storeName = std::filesystem::path(path).stem().string();
    return std::unique_ptr<Session>(new Session(path, std::move(file)));
}

Session::Session(std::string path, std::unique_ptr<File> file) : path_(std::move(path)), file_(std::move(file)) {}

Session::~Session() = default;

int Session::folderCount() const { return 1; }

std::unique_ptr<Folder> Session::folder(int index) const {
    if (index != 1) return nullptr;
    pff::Error e;
    auto handle = std::make_unique<Folder::Handle>();
    std::uint8_t type = 0;
    if (file_->topFolder != 0 &&
        pff::api().file_get_item_by_identifier(file_->file, file_->topFolder, handle->item.out(), e.out()) == 1 &&
        pff::api().item_get_type(handle->item.get(), &type, e.out()) == 1 && type == LIBPFF_ITEM_TYPE_FOLDER)
        return std::unique_ptr<Folder>(new Folder(*this, std::move(handle), file_->storeName));
    // Without a readable store record the whole tree stands in.
    if (pff::api().file_get_root_folder(file_->file, handle->item.out(), e.out()) != 1 || !handle->item) return nullptr;
    return std::unique_ptr<Folder>(new Folder(*this, std::move(handle), file_->storeName));
}

// --- folders -----------------------------------------------------------------

Folder::Folder(const Session& session, std::unique_ptr<Handle> handle, std::string displayName)
    : session_(session), handle_(std::move(handle)), displayName_(std::move(displayName)) {}

Folder::~Folder() = default;

std::optional<std::string> Folder::name() const {
    if (!displayName_.empty()) return displayName_;
    pff::Error e;
    std::size_t size = 0;
    if (pff::api().folder_get_utf8_name_size(handle_->item.get(), &size, e.out()) != 1 || size == 0 || size > 4096)
        return std::nullopt;
    std::string name(size, '\0');
    if (pff::api().folder_get_utf8_name(handle_->item.get(), reinterpret_cast<std::uint8_t*>(name.data()), size,
                                    e.out()) != 1)
        return std::nullopt;
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

std::optional<int> Folder::defaultItemType() const {
    const std::string kind = pff::itemString(handle_->item.get(), 0, pff::TagContainerClass).value_or("");
    if (startsWith(kind, "IPF.Appointment")) return AppointmentItemType;
    if (startsWith(kind, "IPF.Contact")) return ContactItemType;
    if (startsWith(kind, "IPF.Task")) return TaskItemType;
    if (startsWith(kind, "IPF.Journal")) return JournalItemType;
    if (startsWith(kind, "IPF.StickyNote")) return NoteItemType;
    return MailItemType;
}

std::optional<int> Folder::itemCount() const {
    pff::Error e;
    int count = 0;
    if (pff::api().folder_get_number_of_sub_messages(handle_->item.get(), &count, e.out()) != 1) return std::nullopt;
    return count;
}

std::unique_ptr<MailItem> Folder::item(int index) const {
    pff::Error e;
    auto handle = std::make_unique<MailItem::Handle>();
    if (index < 1 ||
        pff::api().folder_get_sub_message(handle_->item.get(), index - 1, handle->message.out(), e.out()) != 1 ||
        !handle->message)
        return nullptr;
    return std::unique_ptr<MailItem>(new MailItem(std::move(handle)));
}

std::optional<int> Folder::folderCount() const {
    pff::Error e;
    int count = 0;
    if (pff::api().folder_get_number_of_sub_folders(handle_->item.get(), &count, e.out()) != 1) return std::nullopt;
    return count;
}

std::unique_ptr<Folder> Folder::folder(int index) const {
    pff::Error e;
    auto handle = std::make_unique<Handle>();
    if (index < 1 || pff::api().folder_get_sub_folder(handle_->item.get(), index - 1, handle->item.out(), e.out()) != 1 ||
        !handle->item)
        return nullptr;
    return std::unique_ptr<Folder>(new Folder(session_, std::move(handle), std::string()));
}

}  // namespace pm::outlook
