#pragma once
// The table view of a paged list: whole rows, one at a time, rows of one
// fixed height (so the view never measures a million rows), and typed text
// handed to a locator instead of the view's own search, which would read
// every row.
#include <QElapsedTimer>
#include <QTableView>
#include <functional>

namespace pm {

class PagedTableView : public QTableView {
    Q_OBJECT
public:
    explicit PagedTableView(QWidget* parent = nullptr);

    // Called with the text typed so far; it is started afresh after
    // `resetMilliseconds` without typing.
    void setLocator(std::function<void(const QString&)> locator, int resetMilliseconds = 1500);
    // Makes `row` current and shows it.
    void goToRow(int row);
    // Rows that fit into the view.
    int visibleRows() const;

    void keyboardSearch(const QString& search) override;

protected:
    // Home and End (with Ctrl or without) go to the first and last row,
    // staying in the column shown.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    std::function<void(const QString&)> locator_;
    int resetMilliseconds_ = 1500;
    QString typed_;
    QElapsedTimer sinceTyped_;
};

}  // namespace pm
