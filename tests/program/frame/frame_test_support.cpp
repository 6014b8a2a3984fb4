#include "frame_test_support.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <filesystem>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/access/record_services.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/catalog/identity_record.h"
#include "tables/config/installation.h"
#include "tables/records/config_tables.h"

namespace pm::test {

Button ScriptedUserInterface::message(const MessageRequest& request) {
    shown_.push_back(request);
    if ((request.buttons & ~static_cast<unsigned>(ButtonOk)) == 0) return ButtonOk;
    if (script_.empty()) return request.defaultButton;
    const Button b = script_.front();
    script_.pop_front();
    return b;
}

bool ScriptedUserInterface::sawCaption(const std::string& caption) const {
    for (const MessageRequest& r : shown_)
        if (r.caption == caption) return true;
    return false;
}

bool ScriptedUserInterface::sawText(const std::string& part) const {
    for (const MessageRequest& r : shown_)
        if (r.text.find(part) != std::string::npos) return true;
    return false;
}

bool MemorySettings::place(int slot, WindowPlace& p) {
    auto it = places.find(slot);
    if (it == places.end()) return false;
    p = it->second;
    return p.width > 0 && p.height > 0;
}

void MemorySettings::storePlace(int slot, const WindowPlace& p) {
    // Like the stored settings: values of 2,000 or more are not taken.
    WindowPlace& stored = places[slot];
    if (p.left < 2000) stored.left = p.left;
    if (p.top < 2000) stored.top = p.top;
    if (p.width < 2000) stored.width = p.width;
    if (p.height < 2000) stored.height = p.height;
}

bool MemorySettings::columns(int slot, ColumnWidths& widths) {
    auto it = columnWidths.find(slot);
    if (it == columnWidths.end()) return false;
    widths = it->second;
    return true;
}

void MemorySettings::storeColumns(int slot, const ColumnWidths& widths, int count) {
    ColumnWidths w{};
    for (int i = 0; i < count && i < 5; ++i) w[static_cast<std::size_t>(i)] = widths[static_cast<std::size_t>(i)];
    columnWidths[slot] = w;
}

bool MemorySettings::storeNewPath(int kind, const std::string& path) {
    newPaths.emplace_back(kind, path);
    paths[kind] = path;
    if (kind == 1)
        Mem.FileDir = path;
    else
        MasIdxPath = path;
    return true;
}

Installation::Installation() : previous_(setUserInterface(&ui)) {
    Mem = MemGlobals{};
    IndexingInProgress = 0;
    GlobalRequest = 0;
    GlobalResponse = 0;
    runStartupSettings(dir_.path(), nullptr);
}

Installation::~Installation() {
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
    IndexingInProgress = 0;
    setUserInterface(previous_);
}

ULONG Installation::addDatabase(BYTE type, const std::string& name) {
    if (type == TypeMail) return createMailDatabaseForTest(name, "owner@example.org", {});
    OP_CLOSE(OpenShared, {2, 8});
    const ULONG id = createDatabase(type, name);
    OP_CLOSE(ReleaseTable, {2, 8});
    return id;
}

ULONG createMailDatabaseForTest(const std::string& name, const std::string& address,
                                const std::vector<std::string>& alts) {
    OP_CLOSE(OpenShared, {2, 8});
    ULONG id = 0;
    if (prepareCatalogRecord(TypeMail, name)) {
        FOR.MAILADDRESS = address;
        for (std::size_t i = 0; i < alts.size() && i < 10; ++i) FOR.ALTADDRESS[i] = alts[i];
        FOR.PERSONID = 42;
        if (UppDat(Forums, AddRecord, ReportOnly)) {
            id = FOR.ID;
            ExistPath(CreatePathArgument, 0, {}, Mem.FileDir + "/F" + std::to_string(FOR.DIRNUMBER), true);
        }
    }
    OP_CLOSE(ReleaseTable, {2, 8});
    return id;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QString screenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("POSTMOOR_SCREENSHOTS");
    if (dir.isEmpty()) return {};
    QDir().mkpath(dir);
    const QString file = dir + "/" + name + ".png";
    widget->grab().save(file);
    return file;
}

std::shared_ptr<void> whenModalOpens(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            action(modal);
        }
    });
    timer->start();
    return std::shared_ptr<void>(timer, [](void* t) { delete static_cast<QTimer*>(t); });
}

std::vector<TestFactory>& testClasses() {
    static std::vector<TestFactory> classes;
    return classes;
}

}  // namespace pm::test
