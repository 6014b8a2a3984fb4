#pragma once
// SEARCHWZ, the index settings wizard: the word definition (which characters
// start, continue and end a word, from the tables in memory or a stored
// set), whether numbers are indexed, whether footers are indexed, the
// automatic stop words per database type, and the search pause. A changed
// word definition is saved from its page ("Save Word Definition"), which
// deletes every existing word index after asking; the other pages are
// stored when the wizard is finished.
#include <QWizard>

#include "wordindex/index_setup.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTableWidget;

namespace pm {

class IndexSetupWizard : public QWizard {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "SearchWz";

    // Reads the settings; check loaded() ("Config Problem" has been shown
    // when they could not be read).
    explicit IndexSetupWizard(QWidget* parent = nullptr);
    bool loaded() const { return loaded_; }

    QComboBox* setChooser() const { return sets_; }
    QTableWidget* grid() const { return grid_; }
    QCheckBox* indexNumbersBox() const { return numbers_; }
    QCheckBox* forumFootersBox() const { return forumFooters_; }
    QCheckBox* newsgroupFootersBox() const { return newsgroupFooters_; }
    QCheckBox* autoStopBox(BYTE databaseType) const;
    QSpinBox* pauseBox() const { return pause_; }
    const WordDefinitionRows& rows() const { return rows_; }

    // A click on the grid's cell of character `code`, column 0-2 (start,
    // inside, end).
    void toggleCell(int code, int column);
    // Loads the set chosen in the drop list.
    void chooseSet(const QString& name);
    // "Save Word Definition". True when the definition was saved.
    bool saveWordDefinition();
    // Finishing: stores the other pages. False after "Not Saved".
    bool storeSettings();

    void accept() override;

private:
    QWizardPage* definitionPage();
    QWizardPage* numbersPage();
    QWizardPage* footersPage();
    QWizardPage* stopWordsPage();
    QWizardPage* pausePage();
    void showRow(int code);

    bool loaded_ = false;
    IndexSettings settings_;
    WordDefinitionRows rows_{};
    QComboBox* sets_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QCheckBox* numbers_ = nullptr;
    QCheckBox* forumFooters_ = nullptr;
    QCheckBox* newsgroupFooters_ = nullptr;
    QCheckBox* forumStop_ = nullptr;
    QCheckBox* newsgroupStop_ = nullptr;
    QCheckBox* mailStop_ = nullptr;
    QSpinBox* pause_ = nullptr;
};

}  // namespace pm
