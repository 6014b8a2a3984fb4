#pragma once
// An entry that names a database: the name is typed (a unique beginning is
// enough) or chosen from the selection list behind its button, through the
// database look-up. The field keeps the chosen database's identifier.
#include <QWidget>
#include <string>

#include "common/types.h"

class QLineEdit;
class QToolButton;

namespace pm {

class DatabaseChoiceField : public QWidget {
    Q_OBJECT
public:
    // `mode` and `type` as the look-up takes them (mode 1: only databases
    // of `type`, 1 forum or 2 mail; otherwise all).
    DatabaseChoiceField(int mode, BYTE type, QWidget* parent = nullptr);

    // Shows database `id` (0: none).
    void setDatabase(ULONG id);
    ULONG databaseId() const { return id_; }
    BYTE databaseType() const { return type_; }
    QString databaseName() const;

    QLineEdit* entry() const { return entry_; }
    QToolButton* listButton() const { return button_; }

    // Looks the typed text up; `showList` opens the list even on a single
    // match. An empty entry chooses no database.
    void lookUp(bool showList);

signals:
    void chosen(ULONG id);

private:
    int mode_;
    BYTE wantedType_;
    ULONG id_ = 0;
    BYTE type_ = 0;
    QString name_;
    QLineEdit* entry_;
    QToolButton* button_;
};

}  // namespace pm
