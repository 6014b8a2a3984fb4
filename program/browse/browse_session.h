#pragma once
// One browse of the active database: its context, the list of its view,
// the selection and what is done to them (changing and narrowing the view,
// stepping the narrowing value, locating, marking statuses, taking a search
// result). The message browse and the mail browse windows, and the list
// command, are views over it.
//
// The session owns the context; every change of view or selection is
// published to the shared copy (Context or MailContext), which followers
// read. Selection is by ordinal in the list; XMSGID (XMAILID) names the
// message selected.
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_context.h"
#include "browse/browse_rows.h"
#include "browse/paged_list.h"
#include "browse/status_marking.h"
#include "browse/text_pages.h"
#include "common/types.h"

namespace pm {

class BrowseSession {
public:
    // A browse of the active database (its tables open), showing dates and
    // times in the pictures given. Reads the database's status from the
    // catalog ($Mem:ForumCheck follows).
    BrowseSession(std::string datePicture, std::string timePicture);

    bool mail() const { return mail_; }
    BYTE databaseType() const { return type_; }

    // --- the view ---------------------------------------------------------
    BYTE view() const { return mail_ ? mailContext_.SORTORDER : context_.SORTORDER; }
    // The numbers of the key-word, topic and search views in this browse.
    BYTE keyWordView() const { return mail_ ? BYTE{MailByKeyWord} : BYTE{ViewByKeyWord}; }
    BYTE topicView() const { return mail_ ? BYTE{MailByTopic} : BYTE{ViewByTopic}; }
    BYTE searchView() const { return mail_ ? BYTE{MailBySearch} : BYTE{ViewBySearch}; }
    // The chosen key word and topic (0: none).
    ULONG chosenWord() const { return mail_ ? mailContext_.XSINDEXID : context_.XSINDEXID; }
    ULONG chosenTopic() const { return mail_ ? mailContext_.XTOPICSID : context_.XTOPICSID; }
    // Shows `view` (1-9, mail 1-8), keeping the selected message when the
    // new view holds it. Returns the ordinal to select (-1: empty list).
    std::int64_t setView(BYTE view);
    // Builds the list of the view anew (after the context changed or the
    // database was written); the selection is kept when the view holds it.
    std::int64_t rebuild();
    // The counts and texts of the list.
    std::int64_t rows() const { return list_ ? list_->size() : 0; }
    const ListRow* row(std::int64_t ordinal) { return list_ ? list_->row(ordinal) : nullptr; }
    PagedList* list() { return list_.get(); }
    // The title of the window with the view's count (MAXNUMBER).
    std::string title() const;
    // Whether the list could not be read (error text) or came up short.
    std::string listError() const;

    // --- narrowing ----------------------------------------------------------
    // Each sets the value in the context, shows the view it narrows and
    // returns the ordinal to select.
    std::int64_t narrowToThread(ULONG thread);
    std::int64_t narrowToSection(ULONG section);
    std::int64_t narrowToPerson(BrowsePersonRole role, ULONG person);
    std::int64_t chooseWord(ULONG word);
    std::int64_t chooseTopic(ULONG topic);
    // Views with a previous/choose/next value.
    bool hasFilterValue() const;
    // Next or previous thread, section or person; false (nothing changed)
    // when there is none.
    bool stepFilter(int direction, std::int64_t& select);
    // The narrowing value as people read it ("" when not narrowed).
    std::string filterText() const;
    // Leaves a narrowed view for the thread view of `message` (the tree's
    // double-click where the view cannot hold it).
    std::int64_t showInThreadView(ULONG message);

    // --- selection ------------------------------------------------------------
    ULONG selected() const { return mail_ ? mailContext_.XMAILID : context_.XMSGID; }
    // Selects the row at `ordinal` (none for -1) and publishes the context.
    void select(std::int64_t ordinal);
    std::int64_t selectedOrdinal() const { return selectedOrdinal_; }
    // The ordinal of message `number` in the list; -1 when the view does
    // not hold it.
    std::int64_t ordinalOf(ULONG number);
    // The row typed text leads to: the first at or after it in the view's
    // first free key component (text views: its sort text; number and
    // date views: a number or a date in the date picture); -1 when nothing
    // can be located.
    std::int64_t locate(const std::string& typed);

    const BrowseContext& context() const { return context_; }
    const MailBrowseContext& mailContext() const { return mailContext_; }
    void publish() const;

    // --- marks -----------------------------------------------------------------
    // SetStatus for the selected row; the rows are read again afterwards.
    StatusResult setStatus(int choice, const std::function<int()>& ask = {});
    BYTE databaseStatus() const { return reader_.databaseStatus(); }

    // --- text ---------------------------------------------------------------------
    // Loads the selected message's text; in the key-word and search views
    // the row's subject heads it. Returns the number of pages.
    int loadText();
    MessageTextPages& text() { return text_; }
    // The words whose places the text pane marks: the chosen key word in
    // the key-word view, the search's words in the search view, else none.
    std::vector<std::string> hitWords() const;

    // --- search result ----------------------------------------------------------
    // Takes a professional search's messages: in a narrowed view only those
    // it holds count. When any remain they become the Search table's set
    // and the search view is shown (`select` is its first row); otherwise
    // nothing changes. Returns false when none remained or storing failed.
    bool takeSearchResult(const std::vector<ULONG>& found, const std::vector<std::string>& words,
                          std::int64_t& select);
    bool hasSearchResult() const { return searchShown_; }
    void hideSearchResult() { searchShown_ = false; }

private:
    std::int64_t afterRebuild(ULONG keep);

    bool mail_;
    BYTE type_;
    BrowseContext context_;
    MailBrowseContext mailContext_;
    BrowseRowReader reader_;
    std::unique_ptr<PagedList> list_;
    std::int64_t selectedOrdinal_ = -1;
    std::string datePicture_;
    MessageTextPages text_;
    std::vector<std::string> searchWords_;
    bool searchShown_ = false;
};

}  // namespace pm
