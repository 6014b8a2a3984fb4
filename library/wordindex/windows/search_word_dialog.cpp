#include "wordindex/windows/search_word_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pm {

SearchWordDialog::SearchWordDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find one or more Indexed Words"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(" Indexed Words(s) Separated by a Space:"), this));
    words_ = new QLineEdit(this);
    words_->setMaxLength(256);
    layout->addWidget(words_);
    whole_ = new QCheckBox(QStringLiteral("  Whole Word Only?"), this);
    soundex_ = new QCheckBox(QStringLiteral(" Soundex?"), this);
    startsWith_ = new QCheckBox(QStringLiteral(" Starts With...?"), this);
    approximate_ = new QCheckBox(QStringLiteral(" Approximate Match?"), this);
    phrase_ = new QCheckBox(QStringLiteral(" Phrase Search"), this);
    memos_ = new QCheckBox(QStringLiteral("Search Memos?"), this);
    whole_->setChecked(true);
    startsWith_->setChecked(true);
    memos_->setChecked(true);
    for (QCheckBox* b : {whole_, soundex_, startsWith_, approximate_, phrase_}) layout->addWidget(b);
    auto* degreeRow = new QFormLayout;
    degree_ = new QSpinBox(this);
    degree_->setRange(0, 9);
    degree_->setValue(1);
    degreeLabel_ = new QLabel(QStringLiteral("Degree of Mismatch:"), this);
    degreeRow->addRow(degreeLabel_, degree_);
    layout->addLayout(degreeRow);
    layout->addWidget(memos_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    next_ = new QPushButton(QStringLiteral("Next"), this);
    next_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(next_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(next_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QCheckBox* b : {whole_, soundex_, startsWith_, approximate_, phrase_})
        connect(b, &QCheckBox::toggled, this, &SearchWordDialog::updateControls);
    connect(words_, &QLineEdit::textChanged, this, &SearchWordDialog::updateControls);
    updateControls();
}

QString SearchWordDialog::text() const { return words_->text(); }

SearchWordOptions SearchWordDialog::options() const {
    SearchWordOptions o;
    o.wholeWord = whole_->isChecked();
    o.startsWith = startsWith_->isChecked();
    o.soundex = soundex_->isChecked();
    o.approximate = approximate_->isChecked();
    o.phrase = phrase_->isChecked();
    o.degree = degree_->value();
    return o;
}

void SearchWordDialog::updateControls() {
    const QSignalBlocker b1(whole_), b2(soundex_), b3(startsWith_), b4(approximate_), b5(phrase_);
    // A "*" in the text allows plain matching only.
    const bool star = words_->text().contains(QLatin1Char('*'));
    if (phrase_->isChecked()) {
        whole_->setChecked(true);
        startsWith_->setChecked(true);
        soundex_->setChecked(false);
        approximate_->setChecked(false);
    }
    const bool phrase = phrase_->isChecked() && !star;
    const bool soundex = soundex_->isChecked() && !star && !phrase;
    const bool approximate = approximate_->isChecked() && !star && !phrase;
    whole_->setEnabled(!phrase && !soundex);
    soundex_->setEnabled(!star && !phrase);
    startsWith_->setEnabled(!star && !phrase && !soundex && !approximate);
    approximate_->setEnabled(!star && !phrase && !soundex);
    phrase_->setEnabled(!star);
    degree_->setEnabled(approximate);
    degree_->setVisible(approximate);
    degreeLabel_->setVisible(approximate);
}

}  // namespace pm
