#pragma once
// Step 1 of the professional search: "Find one or more Indexed Words". The
// person types words and chooses how they match; the controls enable and
// disable one another as the choices allow (Soundex, approximate, phrase,
// and any "*" in the text).
#include <QDialog>

#include "wordindex/search_words.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace pm {

class SearchWordDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchWordDialog(QWidget* parent = nullptr);

    QString text() const;
    // The choices as the controls show them (effective() gives the rules).
    SearchWordOptions options() const;

    QLineEdit* wordsEdit() const { return words_; }
    QCheckBox* wholeWordBox() const { return whole_; }
    QCheckBox* soundexBox() const { return soundex_; }
    QCheckBox* startsWithBox() const { return startsWith_; }
    QCheckBox* approximateBox() const { return approximate_; }
    QCheckBox* phraseBox() const { return phrase_; }
    QSpinBox* degreeBox() const { return degree_; }
    QCheckBox* memosBox() const { return memos_; }
    QPushButton* nextButton() const { return next_; }

private:
    void updateControls();

    QLineEdit* words_;
    QCheckBox* whole_;
    QCheckBox* soundex_;
    QCheckBox* startsWith_;
    QCheckBox* approximate_;
    QCheckBox* phrase_;
    QSpinBox* degree_;
    QLabel* degreeLabel_;
    QCheckBox* memos_;
    QPushButton* next_;
};

}  // namespace pm
