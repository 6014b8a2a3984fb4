#pragma once
// StopList (" Ignore List [name]"): the stop words of the active database
// ("Non Index Words"), which the indexing runs never index, with a locate
// field and the add, update and delete forms. A word added here is skipped
// from the next run on; it is not taken out of an existing index.
#include <QDialog>
#include <QWidget>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace pm {

// The one-field form " Add New Non Index Word", " Update Non Index Word" or
// " Delete Non Index Word".
class StopWordForm : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Add, Update, Delete };
    StopWordForm(Kind kind, const QString& word, QWidget* parent = nullptr);
    Kind kind() const { return kind_; }
    QLineEdit* wordField() const { return word_; }
    QPushButton* acceptButton() const { return accept_; }

private:
    Kind kind_;
    QLineEdit* word_;
    QPushButton* accept_;
};

class StopListWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "StopList";

    explicit StopListWindow(QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QLineEdit* locateField() const { return locate_; }
    // The buttons' forms; each writes when the form is accepted.
    void addWord();
    void updateWord();
    void deleteWord();
    // Reads the stop words again, keeping `select` highlighted when given.
    void reload(const QString& select = {});

    // Test seam: fills and answers a form (true: accepted).
    void setFormChooser(std::function<bool(StopWordForm&)> chooser) { formChooser_ = std::move(chooser); }

private:
    bool runForm(StopWordForm& form);
    QString highlighted() const;

    QListWidget* list_;
    QLineEdit* locate_;
    std::function<bool(StopWordForm&)> formChooser_;
};

}  // namespace pm
