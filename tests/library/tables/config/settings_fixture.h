#pragma once
// An installation whose Control records the tests read and write directly,
// and a restart: everything closed, then the start-up settings run again.
#include <cstring>
#include <optional>

#include "common/word_definition.h"
#include "storage/table.h"
#include "support/installation_fixture.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "tables/records/config_tables.h"

namespace pm::test {

struct StoredControl {
    ULONG nextNumber = 0;
    ControlBlock block{};
};

class SettingsTest : public InstallationTest {
protected:
    StartupOutcome restart(StartupPrompts* prompts = nullptr) {
        closeAllTables();
        closeStorage();
        return runStartupSettings(root.path(), prompts);
    }

    // Control record `id` as stored, or nothing when it is missing.
    static std::optional<StoredControl> stored(BYTE id) {
        OP_CLOSE(OpenShared, {8});
        Control.clear();
        CTL.ID = id;
        std::optional<StoredControl> result;
        if (Control.get(CTL_IdKey) == StorageStatus::Ok) {
            result = StoredControl{CTL.NEXTNUMBER, {}};
            std::memcpy(result->block.data(), CTL.CTLFIELD, 200);
        }
        OP_CLOSE(ReleaseTable, {8});
        return result;
    }

    // Replaces (or adds) Control record `id`.
    static void store(BYTE id, const StoredControl& record) {
        OP_CLOSE(OpenShared, {8});
        Control.clear();
        CTL.ID = id;
        const bool exists = Control.get(CTL_IdKey) == StorageStatus::Ok;
        CTL.ID = id;
        CTL.NEXTNUMBER = record.nextNumber;
        std::memcpy(CTL.CTLFIELD, record.block.data(), 200);
        ASSERT_EQ(exists ? Control.put() : Control.add(), StorageStatus::Ok);
        OP_CLOSE(ReleaseTable, {8});
    }

    static void erase(BYTE id) {
        OP_CLOSE(OpenShared, {8});
        Control.clear();
        CTL.ID = id;
        if (Control.get(CTL_IdKey) == StorageStatus::Ok) {
            ASSERT_EQ(Control.erase(), StorageStatus::Ok);
        }
        OP_CLOSE(ReleaseTable, {8});
    }
};

}  // namespace pm::test
