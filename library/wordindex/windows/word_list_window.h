#pragma once
// WordList (" Word List [name]"): the indexed words of the active database
// with the number of messages holding each, by count or alphabetically, with
// a locate field, and the deletion marks the next indexing run applies. The
// marks are read when the window opens and stored when it closes.
#include <QAbstractTableModel>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "common/types.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace pm {

class WordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        LONG id = 0;
        std::string word;
        LONG count = 0;
    };
    explicit WordListModel(std::set<LONG>& marks, QObject* parent = nullptr);

    // Reads the word list in count order (most frequent first) or word order.
    void load(bool byCount);
    bool byCount() const { return byCount_; }
    const Row& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    // The first row at or after `typed` in the current order (a number in
    // count order); -1 when none.
    int locate(const QString& typed) const;
    void rowChanged(int i);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::set<LONG>& marks_;
    std::vector<Row> rows_;
    bool byCount_ = true;
};

class WordListWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "WordList";

    explicit WordListWindow(QWidget* parent = nullptr);
    ~WordListWindow() override;

    WordListModel* model() const { return model_; }
    QTableView* list() const { return list_; }
    QLineEdit* locateField() const { return locate_; }
    QRadioButton* byCountButton() const { return byCount_; }
    QRadioButton* byWordButton() const { return byWord_; }
    const std::set<LONG>& marks() const { return marks_; }

    // "Mark highlighted word for deletion": toggles the mark of the current row.
    void toggleMark();
    // Stores the marks (closing does it too). False when the write failed.
    bool saveMarks();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void reorder();

    std::set<LONG> marks_;
    bool saved_ = false;
    WordListModel* model_;
    QTableView* list_;
    QLineEdit* locate_;
    QRadioButton* byCount_;
    QRadioButton* byWord_;
};

}  // namespace pm
