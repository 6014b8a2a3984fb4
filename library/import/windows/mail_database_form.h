#pragma once
// The mail database form: the name of a mail database, the owner's default
// mail address and up to ten alternative addresses. Insert creates the
// database through the message store's creation service (set with
// setCreator, so the form works with whatever the program links); change
// rewrites the catalog record and the identity record.
//
// Called like every form: GlobalRequest 1 insert or 2 change on the way in,
// GlobalResponse 1 completed or 2 cancelled on the way out. While it is
// open no scheduled task starts (busy counter).
#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/types.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pm {

// Creates a mail database; returns its FOR:ID, or 0 after reporting.
using MailDatabaseCreator = std::function<ULONG(const std::string& name, const std::string& defaultAddress,
                                                const std::vector<std::string>& altAddresses)>;

class MailDatabaseForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int AltAddressCount = 10;

    // `request` 1 insert (a new database in directory `nextDirectory`) or 2
    // change (of database `id`).
    MailDatabaseForm(LONG request, ULONG id, ULONG nextDirectory, QWidget* parent = nullptr);
    ~MailDatabaseForm() override;

    // The creation service inserts use; without one, inserts are refused.
    static void setCreator(MailDatabaseCreator creator);
    static bool canCreate();

    QLineEdit* nameEntry() const { return name_; }
    QLineEdit* addressEntry() const { return address_; }
    QLineEdit* altEntry(int i) const { return alts_.at(static_cast<std::size_t>(i)); }
    QPushButton* saveButton() const { return save_; }
    QLabel* directoryLabel() const { return directory_; }

    // The database inserted or changed (0 before a successful save).
    ULONG databaseId() const { return id_; }

    // Checks the entries and writes; accepts the form on success.
    bool save();

    // Closes without writing (GlobalResponse 2).
    void reject() override;

private:
    void load();
    std::vector<std::string> altAddresses() const;

    LONG request_;
    ULONG id_;
    QLineEdit* name_;
    QLineEdit* address_;
    std::array<QLineEdit*, AltAddressCount> alts_{};
    QLabel* directory_;
    QPushButton* save_;
};

}  // namespace pm
