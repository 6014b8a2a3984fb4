#pragma once
// BrowseTopics: the topics of the active database with the number of
// messages carrying each. Opening it brings every count in line with the
// attachments. Insert, Change and Delete edit the list through the topic
// form (" Add New Topic", " Update Topic", " Delete Topic"); deleting a
// topic removes it from its messages too. Every change is announced on the
// browse link, so the Attach Topics window and a browse in its topic view
// read the topics again; their changes refresh this list the same way.
#include <QWidget>
#include <functional>
#include <memory>

#include "browse/browse_tables.h"
#include "common/types.h"

class QPushButton;
class QTreeWidget;

namespace pm {

class TopicsWindow : public QWidget {
    Q_OBJECT
public:
    explicit TopicsWindow(QWidget* parent = nullptr);
    ~TopicsWindow() override;

    QTreeWidget* list() const { return list_; }
    // The id of the selected topic (0: none).
    ULONG currentTopic() const;
    void selectTopic(ULONG id);

    // The form's actions on the selected topic.
    void insertTopic();
    void changeTopic();
    void deleteTopic();
    // Reads the list again, keeping the selection.
    void reload();

    // Test seam: how the topic form asks for a name (title, name in and
    // out; false = cancelled). A line-edit dialog when not set.
    using NameAsker = std::function<bool(const QString& title, QString& name)>;
    void setNameAsker(NameAsker asker) { asker_ = std::move(asker); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool askName(const QString& title, QString& name);
    void updateTitle();
    void announce();

    std::unique_ptr<BrowseTables> tables_;
    QTreeWidget* list_;
    QPushButton* change_;
    QPushButton* delete_;
    NameAsker asker_;
    long topics_ = 0;
    bool announcing_ = false;
};

}  // namespace pm
