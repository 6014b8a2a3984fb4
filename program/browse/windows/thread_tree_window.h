#pragma once
// ThreadTree: the reply structure of the thread that holds the message the
// message browse shows. It follows the browse (rebuilt when the browse
// selects a message of another thread, its highlight always on the
// browse's message); a double click shows that message in the browse; the
// navigation keys move the browse as its own buttons would.
#include <QWidget>
#include <memory>

#include "browse/browse_tables.h"
#include "browse/thread_tree.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace pm::frame {
class FrameSettings;
}

namespace pm {

class ThreadTreeWindow : public QWidget {
    Q_OBJECT
public:
    // Line format (item 16), date format (item 10), font (item 36) and
    // "always on top" (item 37) come from the settings.
    explicit ThreadTreeWindow(frame::FrameSettings& settings, QWidget* parent = nullptr);
    ~ThreadTreeWindow() override;

    QTreeWidget* tree() const { return view_; }
    const ThreadTree& lines() const { return tree_; }
    // Reads the browse's context: rebuilds when its thread changed, then
    // highlights the browse's message.
    void followBrowse();
    // The double click on `item`.
    void activate(QTreeWidgetItem* item);
    // The item of message `number` (nullptr when not shown).
    QTreeWidgetItem* itemOf(ULONG number) const;

    bool floatsOnTop() const { return onTop_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fill();
    void mirrorBrowse();
    void placeBesideBrowse();

    std::unique_ptr<BrowseTables> tables_;
    ThreadTree tree_;
    QTreeWidget* view_;
    bool mirroring_ = false;
    bool onTop_ = false;
    bool placed_ = false;
};

}  // namespace pm
