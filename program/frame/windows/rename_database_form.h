#pragma once
// The small form that names a database the rebuild attached without
// knowing its name ("Unknown:F12"): one field, one button.
#include <QDialog>

#include "common/types.h"

class QLineEdit;
class QPushButton;

namespace pm::frame {

class RenameDatabaseForm : public QDialog {
    Q_OBJECT
public:
    RenameDatabaseForm(ULONG id, const QString& currentName, QWidget* parent = nullptr);

    QLineEdit* nameEntry() const { return name_; }
    QPushButton* saveButton() const { return save_; }

    // Saves the entered name; a name another database has is refused (the
    // form stays open and the old name stays in the catalog).
    bool saveNewName();

private:
    ULONG id_;
    QLineEdit* name_;
    QPushButton* save_;
};

}  // namespace pm::frame
