// The eight tab sheets of the preferences window.
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "tables/windows/instruction_pane.h"
#include "tables/windows/database_choice_field.h"
#include "tables/windows/user_panel.h"
#include "tables/windows/user_panel_support.h"

namespace pm {

namespace {

QGroupBox* group(const QString& title, QLayout* layout) {
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

QComboBox* choices(std::initializer_list<const char*> texts) {
    auto* box = new QComboBox;
    for (const char* t : texts) box->addItem(QString::fromLatin1(t));
    return box;
}

// Radio buttons in a column, each with its id.
QButtonGroup* radios(QWidget* owner, QVBoxLayout* layout, std::initializer_list<std::pair<const char*, int>> items) {
    auto* buttons = new QButtonGroup(owner);
    for (const auto& [text, id] : items) {
        auto* radio = new QRadioButton(QString::fromLatin1(text));
        buttons->addButton(radio, id);
        layout->addWidget(radio);
    }
    return buttons;
}

QWidget* page(std::initializer_list<QWidget*> parts) {
    auto* w = new QWidget;
    auto* layout = new QVBoxLayout(w);
    for (QWidget* part : parts) layout->addWidget(part);
    layout->addStretch();
    return w;
}

}  // namespace

QWidget* UserPanel::defaultsPage() {
    defaultDatabase_ = new DatabaseChoiceField(0, 0);
    defaultMailDatabase_ = new DatabaseChoiceField(1, TypeMail);
    defaultMailDatabase_->setToolTip(tr("Default mail database to show in the ImportWizard"));
    messageTab_ = choices({"By MsgNmbr", "By Thread", "By Section", "By Sender", "By Receiver", "By MsgDate", "KeyWord"});
    mailTab_ = choices({"By Date", "By Subject", "By MailPartner", "By Sender", "By Receiver"});
    fileType_ = new QComboBox;
    for (const auto& [number, name] : fileTypes_) fileType_->addItem(QString::fromStdString(name), number);
    importPath_ = new QLineEdit;
    importPath_->setMaxLength(100);

    auto* database = new QVBoxLayout;
    database->addWidget(defaultDatabase_);
    auto* messageTab = new QVBoxLayout;
    messageTab->addWidget(messageTab_);
    auto* mail = new QVBoxLayout;
    mail->addWidget(defaultMailDatabase_);
    auto* mailTab = new QVBoxLayout;
    mailTab->addWidget(mailTab_);
    auto* fileType = new QVBoxLayout;
    fileType->addWidget(fileType_);
    auto* path = new QVBoxLayout;
    path->addWidget(importPath_);
    return page({group(QStringLiteral(" Default database "), database),
                 group(QStringLiteral(" Default TAB on message browse "), messageTab),
                 group(QStringLiteral(" Default Mail Database "), mail),
                 group(QStringLiteral(" Default TAB on mail browse "), mailTab),
                 group(QStringLiteral(" Default message file type"), fileType),
                 group(QStringLiteral(" Default path to import files "), path)});
}

QWidget* UserPanel::directoriesPage() {
    const struct {
        const char* title;
        int text;
    } rows[] = {{" Directory for temporary import files", 11},
                {" Top directory for database files ", 12},
                {" Top directory for word index files ", 13}};
    std::vector<QWidget*> parts;
    for (std::size_t i = 0; i < 3; ++i) {
        directories_[i] = new QLineEdit;
        directories_[i]->setMaxLength(100);
        auto* layout = new QVBoxLayout;
        layout->addWidget(directories_[i]);
        layout->addWidget(instructionPane({rows[i].text}, 90));
        parts.push_back(group(QString::fromLatin1(rows[i].title), layout));
    }
    return page({parts[0], parts[1], parts[2]});
}

QWidget* UserPanel::coloursPage() {
    const char* labels[] = {"Tab 1", "Tab 2", "Tab 3", "Tab 4", "Current TAB", "Read only", "Normal", "Keep", "Delete"};
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        colours_[i] = new QPushButton(QString::fromLatin1(labels[i]));
        const int item = kPreferenceColours[i];
        connect(colours_[i], &QPushButton::clicked, this, [this, i, item] {
            const QColor chosen = QColorDialog::getColor(colourValues_[i], this, colours_[i]->text());
            if (chosen.isValid()) setColour(item, chosen);
        });
    }
    auto* tabs = new QGridLayout;
    for (int i = 0; i < 5; ++i) tabs->addWidget(colours_[static_cast<std::size_t>(i)], 0, i);
    auto* readOnly = new QVBoxLayout;
    readOnly->addWidget(colours_[5]);
    auto* status = new QGridLayout;
    const char* samples[] = {"List box line with normal status", "List box line with keep status",
                             "Listbox line with delete status"};
    for (int i = 0; i < 3; ++i) {
        status->addWidget(colours_[static_cast<std::size_t>(6 + i)], i, 0);
        auto* sample = new QLabel(QString::fromLatin1(samples[i]));
        sample->setObjectName(QStringLiteral("statusSample%1").arg(i));
        status->addWidget(sample, i, 1);
    }
    status->setColumnStretch(1, 1);
    return page({group(QStringLiteral("TAB sheet colors"), tabs), group(QStringLiteral(" ReadOnly fields"), readOnly),
                 group(QStringLiteral(" Message status colors "), status)});
}

QWidget* UserPanel::fontsPage() {
    const char* titles[] = {" List boxes ", " Entry fields ", " Message/Mail Text box  ", " Thread Tree "};
    std::vector<QWidget*> parts;
    for (std::size_t i = 0; i < 4; ++i) {
        fontNames_[i] = new QFontComboBox;
        fontSizes_[i] = new QSpinBox;
        fontSizes_[i]->setRange(6, 72);
        auto* row = new QHBoxLayout;
        row->addWidget(fontNames_[i], 1);
        row->addWidget(fontSizes_[i]);
        auto* layout = new QVBoxLayout;
        layout->addLayout(row);
        parts.push_back(group(QString::fromLatin1(titles[i]), layout));
        connect(fontNames_[i], &QFontComboBox::currentFontChanged, this, [this] { updateSamples(); });
        connect(fontSizes_[i], &QSpinBox::valueChanged, this, [this] { updateSamples(); });
    }
    auto sampleLayout = [&parts](std::size_t i) { return static_cast<QVBoxLayout*>(parts[i]->layout()); };
    auto* list = new QLabel(tr("This shows a listbox line"));
    listSamples_.push_back(list);
    sampleLayout(0)->addWidget(list);
    auto* readOnly = new QLineEdit(tr("Read only field text"));
    readOnly->setReadOnly(true);
    auto* entry = new QLineEdit(tr("Entry field content"));
    entrySamples_ = {readOnly, entry};
    sampleLayout(1)->addWidget(readOnly);
    sampleLayout(1)->addWidget(entry);
    auto* text = new QTextEdit(
        tr("This text shows how the message/mail text will look like with the chosen font type and size"));
    text->setReadOnly(true);
    text->setMaximumHeight(70);
    textSamples_.push_back(text);
    sampleLayout(2)->addWidget(text);
    return page({parts[0], parts[1], parts[2], parts[3]});
}

QWidget* UserPanel::threadTreePage() {
    treeFormat_ = choices({"SenderName", "SenderName MsgNumber", "SenderName MsgDate", "SenderName MsgNumber MsgDate",
                           "SenderName MsgDate MsgNumber"});
    auto* format = new QVBoxLayout;
    format->addWidget(treeFormat_);
    auto* opening = new QVBoxLayout;
    treeOpening_ = radios(this, opening,
                          {{" Open Thread Tree window separately ", 0}, {" Open Thread Tree window with message browse ", 1}});
    treeOnTop_ = new QCheckBox(QStringLiteral(" Always floating on top"));
    auto* behaviour = new QVBoxLayout;
    behaviour->addWidget(treeOnTop_);
    return page({group(QStringLiteral(" Thread Tree format"), format), group(QStringLiteral(" Window opening strategy "), opening),
                 group(QStringLiteral(" Window behaviour "), behaviour)});
}

QWidget* UserPanel::tasksPage() {
    exitAfterTasks_ = new QCheckBox(QStringLiteral(" Exit Postmoor after task has finished"));
    auto* closing = new QVBoxLayout;
    closing->addWidget(exitAfterTasks_);
    restrictFrom_ = new QTimeEdit;
    restrictTo_ = new QTimeEdit;
    for (QTimeEdit* t : {restrictFrom_, restrictTo_}) {
        t->setDisplayFormat(QStringLiteral("hh:mm"));
        t->setMaximumWidth(90);
    }
    auto* times = new QFormLayout;
    times->addRow(new QLabel(tr("Never start a delayed task during this time period")));
    times->addRow(QStringLiteral("From:"), restrictFrom_);
    times->addRow(QStringLiteral("To:"), restrictTo_);
    tasksOff_ = new QCheckBox(QStringLiteral(" Deactivate tasks"));
    auto* deactivation = new QVBoxLayout;
    deactivation->addWidget(tasksOff_);
    return page({group(QStringLiteral(" Task closing behaviour "), closing),
                 group(QStringLiteral(" Task start restriction"), times),
                 group(QStringLiteral(" Task deactivation "), deactivation), instructionPane({38}, 160)});
}

QWidget* UserPanel::optimizePage() {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Transaction speed / keyboard response")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Slow / High")), 0, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("Fast / Low")), 0, 1, Qt::AlignRight);
    const char* names[] = {"Duplicate elimination", "Count / Purge", "Keyword indexing", "Find text", "Import / Merge"};
    for (std::size_t i = 0; i < speeds_.size(); ++i) {
        speeds_[i] = new QSlider(Qt::Horizontal);
        speeds_[i]->setRange(1, 7);
        speeds_[i]->setTickPosition(QSlider::TicksBelow);
        speeds_[i]->setPageStep(1);
        grid->addWidget(new QLabel(QString::fromLatin1(names[i])), static_cast<int>(i) + 1, 0);
        grid->addWidget(speeds_[i], static_cast<int>(i) + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* time = new QVBoxLayout;
    showTime_ = radios(this, time, {{" Yes", 1}, {" No", 2}});
    return page({group(QStringLiteral(" Batch transaction speed versus keyboard response"), grid),
                 group(QStringLiteral("Show time used to complete transaction"), time)});
}

QWidget* UserPanel::miscellaneousPage() {
    locatorDelay_ = new QDoubleSpinBox;
    locatorDelay_->setDecimals(2);
    locatorDelay_->setRange(0.0, 99.99);
    locatorDelay_->setSingleStep(0.1);
    auto* locator = new QHBoxLayout;
    locator->addWidget(new QLabel(QStringLiteral("Delay time")));
    locator->addWidget(locatorDelay_);
    locator->addWidget(new QLabel(QStringLiteral("for reset")));
    locator->addStretch();
    toolTips_ = new QCheckBox(QStringLiteral(" Show Tool Tips"));
    auto* tips = new QVBoxLayout;
    tips->addWidget(toolTips_);
    auto* dates = new QVBoxLayout;
    dateFormat_ = radios(this, dates, {{"mm-dd-yyyy", 2}, {"dd-mm-yyyy", 6}, {"yyyy-mm-dd", 10}, {"Windows setting", 17}});
    auto* times = new QVBoxLayout;
    timeFormat_ = radios(this, times, {{"hh:mm", 1}, {"hh:mmXM", 3}, {"Windows setting", 7}});
    resetPlaces_ = new QPushButton(tr("Reset defaults"));
    resetPlaces_->setToolTip(tr("Put every window back at its first place and size"));
    auto* places = new QVBoxLayout;
    places->addWidget(resetPlaces_);
    openMaximized_ = new QCheckBox(QStringLiteral(" Open maximized"));
    auto* frame = new QVBoxLayout;
    frame->addWidget(openMaximized_);
    auto* formats = new QHBoxLayout;
    formats->addWidget(group(QStringLiteral(" Date format "), dates));
    formats->addWidget(group(QStringLiteral(" Time format "), times));
    auto* formatRow = new QWidget;
    formatRow->setLayout(formats);
    formats->setContentsMargins(0, 0, 0, 0);
    return page({group(QStringLiteral(" Incremental locator "), locator), group(QStringLiteral(" Tool tips "), tips),
                 formatRow, group(QStringLiteral(" Window positions and sizes "), places),
                 group(QStringLiteral(" Application Frame Window "), frame)});
}

void UserPanel::updateSamples() {
    auto apply = [this](const std::vector<QWidget*>& samples, std::size_t font) {
        if (!fontNames_[font]) return;
        QFont f = fontNames_[font]->currentFont();
        f.setPointSize(fontSizes_[font]->value());
        for (QWidget* w : samples) w->setFont(f);
    };
    apply(listSamples_, 0);
    apply(entrySamples_, 1);
    apply(textSamples_, 2);
    // The status samples in their colours; the read-only field on its own.
    for (int i = 0; i < 3; ++i) {
        if (auto* sample = findChild<QLabel*>(QStringLiteral("statusSample%1").arg(i)))
            sample->setStyleSheet(QStringLiteral("color: %1;").arg(colourValues_[static_cast<std::size_t>(6 + i)].name()));
    }
    if (entrySamples_.size() > 0)
        entrySamples_[0]->setStyleSheet(QStringLiteral("background-color: %1;").arg(colourValues_[5].name()));
}

}  // namespace pm
