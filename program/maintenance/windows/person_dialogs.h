#pragma once
// The dialogs of the person browse: the name form (first and last name of
// one person) and the alias window (ShowAlias: the person's other strings,
// one of which can become the current one).
#include <QDialog>

#include "tables/records/message_tables.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pm {

class PersonNameForm : public QDialog {
    Q_OBJECT
public:
    // The form for `person` (as read) of the active database.
    explicit PersonNameForm(const PersonRecord& person, QWidget* parent = nullptr);

    QLineEdit* lastName() const { return last_; }
    QLineEdit* firstName() const { return first_; }
    QPushButton* saveButton() const { return save_; }
    // "Save changes": true when saved (the dialog is accepted).
    bool save();

private:
    void showValues(const PersonRecord& person);

    PersonRecord kept_;
    QLineEdit* full_ = nullptr;
    QLineEdit* last_ = nullptr;
    QLineEdit* first_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* sent_ = nullptr;
    QLineEdit* received_ = nullptr;
    QPushButton* save_ = nullptr;
};

class AliasWindow : public QDialog {
    Q_OBJECT
public:
    explicit AliasWindow(const PersonRecord& person, QWidget* parent = nullptr);

    QListWidget* aliases() const { return list_; }
    QLabel* current() const { return current_; }
    QPushButton* swapButton() const { return swap_; }
    QPushButton* saveButton() const { return save_; }
    // "Swap highlighted address with the current one": the highlighted
    // alias is shown as the current string (not yet stored).
    void swapHighlighted();
    // "Save address change": stores the swap; true when stored.
    bool save();

private:
    void reload();

    ULONG id_;
    QString chosen_;  // the alias to become current ("" none)
    QLabel* current_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* swap_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace pm
