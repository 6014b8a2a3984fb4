#pragma once
// AttachTopics: every topic of the active database as one line, marked
// when the message the browse shows carries it. It follows the browse (the
// lines are rebuilt when the browse selects another message); a double
// click (or Return, or Space) on a line attaches the topic to the message
// or removes it, and the topic list, the browse's topic view and this
// window hear of it. F5 reads the topics again; Page Up and Page Down
// (with Ctrl: first and last) and Ctrl+Up, Ctrl+Down move the browse as
// its own buttons would, while Up and Down choose a line.
#include <QIcon>
#include <QWidget>
#include <memory>

#include "browse/browse_tables.h"
#include "common/types.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace pm {

class AttachTopicsWindow : public QWidget {
    Q_OBJECT
public:
    explicit AttachTopicsWindow(QWidget* parent = nullptr);
    ~AttachTopicsWindow() override;

    QTreeWidget* tree() const { return view_; }
    // The message (mail) the lines are for (0: none).
    ULONG message() const { return message_; }
    // The line of topic `id` (nullptr when none) and whether it is marked.
    QTreeWidgetItem* itemOf(ULONG id) const;
    static bool marked(const QTreeWidgetItem* item);

    // Reads the browse's context; rebuilds the lines when its message changed.
    void followBrowse();
    // Reads the topics and the message's attachments again.
    void rebuild();
    // The double click on `item`.
    void toggle(QTreeWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<BrowseTables> tables_;
    QLabel* caption_;
    QTreeWidget* view_;
    QIcon attached_;
    QIcon notAttached_;
    ULONG message_ = 0;
    bool followed_ = false;
    bool announcing_ = false;
};

}  // namespace pm
