#pragma once
// The read-only pane below a browse list: the selected message's text one
// page at a time, with the page buttons (hidden for a one-page text) and,
// when the browse shows a key word or a search result, the places of its
// words marked and stepped through.
#include <QWidget>
#include <string>
#include <vector>

#include "browse/text_pages.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pm {

class TextPane : public QWidget {
    Q_OBJECT
public:
    explicit TextPane(QWidget* parent = nullptr);

    // Shows page 1 of `pages` (not owned; kept until the next call) with
    // the places of `hitWords` marked.
    void show(const MessageTextPages* pages, std::vector<std::string> hitWords = {});
    void clear();
    // Turns to page `n` (1-based; ignored outside the text's pages).
    void showPage(int n);
    int page() const { return page_; }
    int pages() const { return pages_ ? pages_->pages() : 0; }
    // The text shown (line ends as LF).
    QString text() const;
    QPlainTextEdit* editor() const { return edit_; }
    QPushButton* nextPageButton() const { return next_; }
    QPushButton* previousPageButton() const { return previous_; }

    // The marked places on the page shown, as (start, length) in the
    // editor's text; the hit selected last.
    const std::vector<std::pair<int, int>>& hits() const { return hits_; }
    int currentHit() const { return currentHit_; }
    // Selects the next (previous) hit, turning the page when the page has
    // no more; false when there is none.
    bool nextHit();
    bool previousHit();

    void setTextFont(const QFont& font);

    // Text the standard search found in the next message shown: its places
    // are marked (any case unless `matchCase`); empty for none.
    void setFoundText(const QString& text, bool matchCase);
    // The marked places of the found text on the page shown.
    const std::vector<std::pair<int, int>>& foundPlaces() const { return found_; }

private:
    void markHits();
    void selectHit(int i);

    QPlainTextEdit* edit_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* previousHit_;
    QPushButton* nextHit_;
    QLabel* pageLabel_;
    const MessageTextPages* pages_ = nullptr;
    std::vector<std::string> words_;
    std::vector<std::pair<int, int>> hits_;
    QString foundText_;
    bool foundCase_ = false;
    std::vector<std::pair<int, int>> found_;
    int page_ = 0;
    int currentHit_ = -1;
};

}  // namespace pm
