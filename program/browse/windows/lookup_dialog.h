#pragma once
// The look-up list a browse's narrowing value is chosen from: threads,
// sections, persons (by name or, at the user's choice, by address),
// indexed words or topics, as a paged list; typing locates by the list's
// first column; Enter, OK or a double click chooses.
#include <QDialog>
#include <memory>

#include "browse/lookup_lists.h"
#include "common/types.h"

class QCheckBox;
class QTableView;

namespace pm {

class PagedListModel;

class LookupDialog : public QDialog {
    Q_OBJECT
public:
    // The tables of the active database must be open.
    LookupDialog(LookupKind kind, QWidget* parent = nullptr);
    ~LookupDialog() override;

    // Shows the dialog; the id of the row chosen, 0 when cancelled.
    static ULONG choose(LookupKind kind, QWidget* parent);

    // The id of the highlighted row (0 for none).
    ULONG currentId() const;
    // Highlights the row of `id` when the list holds it.
    void highlight(ULONG id);
    QTableView* view() const { return view_; }
    QCheckBox* byAddress() const { return byAddress_; }
    LookupKind kind() const { return kind_; }
    // Locates the first row at or after `typed` in the list's order.
    void locate(const QString& typed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load(LookupKind kind);

    LookupKind kind_;
    LookupList lookup_;
    std::unique_ptr<PagedList> list_;
    PagedListModel* model_;
    QTableView* view_;
    QCheckBox* byAddress_ = nullptr;
    QString typed_;
};

}  // namespace pm
