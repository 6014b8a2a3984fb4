#include "tables/windows/user_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "common/windows/host_window.h"
#include "tables/windows/catalog_model.h"
#include "tables/windows/database_choice_field.h"
#include "tables/windows/user_panel_support.h"

namespace pm {

UserPanel::UserPanel(FileTypes fileTypes, QWidget* parent) : QWidget(parent), fileTypes_(std::move(fileTypes)) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" User Preferences"));
    setProperty("helpTopic", QStringLiteral("~User_Preferences"));

    tabs_ = new QTabWidget;
    tabs_->addTab(defaultsPage(), QStringLiteral(" Defaults "));
    tabs_->addTab(directoriesPage(), QStringLiteral(" Directories "));
    tabs_->addTab(coloursPage(), QStringLiteral(" Colors "));
    tabs_->addTab(fontsPage(), QStringLiteral(" Fonts "));
    tabs_->addTab(threadTreePage(), QStringLiteral(" Thread Tree "));
    tabs_->addTab(tasksPage(), QStringLiteral("Tasks"));
    tabs_->addTab(optimizePage(), QStringLiteral(" Optimize "));
    tabs_->addTab(miscellaneousPage(), QStringLiteral(" Miscellaneous "));

    ok_ = new QPushButton(tr("OK"));
    ok_->setToolTip(tr("Save the preferences"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(tr("Cancel"));
    cancel_->setToolTip(tr("Close without saving"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    // Fits the frame's first size, OK and Cancel in sight.
    resize(800, 540);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(defaultDatabase_);

    connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    connect(resetPlaces_, &QPushButton::clicked, this, [this] {
        resetPlacesAsked_ = true;
        resetPlaces_->setEnabled(false);
    });

    read_ = readPreferences();
    showPreferences(read_);
}

QLineEdit* UserPanel::directory(int item) const {
    switch (item) {
        case 17: return directories_[0];
        case 18: return directories_[1];
        case 44: return directories_[2];
        default: return nullptr;
    }
}

QPushButton* UserPanel::colourButton(int item) const {
    auto it = std::find(kPreferenceColours.begin(), kPreferenceColours.end(), item);
    return it == kPreferenceColours.end() ? nullptr : colours_[static_cast<std::size_t>(it - kPreferenceColours.begin())];
}

QFontComboBox* UserPanel::fontName(int item) const {
    auto it = std::find(kPreferenceFonts.begin(), kPreferenceFonts.end(), item);
    return it == kPreferenceFonts.end() ? nullptr : fontNames_[static_cast<std::size_t>(it - kPreferenceFonts.begin())];
}

QSpinBox* UserPanel::fontSize(int item) const {
    auto it = std::find(kPreferenceFonts.begin(), kPreferenceFonts.end(), item);
    return it == kPreferenceFonts.end() ? nullptr : fontSizes_[static_cast<std::size_t>(it - kPreferenceFonts.begin())];
}

void UserPanel::setColour(int item, const QColor& colour) {
    auto it = std::find(kPreferenceColours.begin(), kPreferenceColours.end(), item);
    if (it == kPreferenceColours.end()) return;
    const auto i = static_cast<std::size_t>(it - kPreferenceColours.begin());
    colourValues_[i] = colour;
    paintColourButton(colours_[i], colour);
    updateSamples();
}

void UserPanel::showPreferences(const Preferences& p) {
    defaultDatabase_->setDatabase(p.defaultDatabase);
    defaultMailDatabase_->setDatabase(p.defaultMailDatabase);
    messageTab_->setCurrentIndex(std::clamp<int>(p.messageBrowseTab, 1, messageTab_->count()) - 1);
    mailTab_->setCurrentIndex(std::clamp<int>(p.mailBrowseTab, 1, mailTab_->count()) - 1);
    fileType_->setCurrentIndex(std::max(0, fileType_->findData(static_cast<int>(p.defaultFileType))));
    importPath_->setText(QString::fromStdString(p.importPath));
    directories_[0]->setText(QString::fromStdString(p.tempDirectory));
    directories_[1]->setText(QString::fromStdString(p.databaseDirectory));
    directories_[2]->setText(QString::fromStdString(p.wordIndexDirectory));
    for (std::size_t i = 0; i < kPreferenceColours.size(); ++i)
        setColour(kPreferenceColours[i], colourFromRgbValue(p.colours[i]));
    for (std::size_t i = 0; i < kPreferenceFonts.size(); ++i) {
        fontNames_[i]->setCurrentFont(QFont(QString::fromStdString(p.fonts[i].name)));
        fontSizes_[i]->setValue(static_cast<int>(p.fonts[i].size));
    }
    treeFormat_->setCurrentIndex(std::clamp<int>(p.threadTreeFormat, 1, 5) - 1);
    checkButton(treeOpening_, p.treeWithBrowse ? 1 : 0);
    treeOnTop_->setChecked(p.treeOnTop);
    exitAfterTasks_->setChecked(p.exitAfterTasks);
    restrictFrom_->setTime(timeFromHundredths(p.restrictFrom));
    restrictTo_->setTime(timeFromHundredths(p.restrictTo));
    tasksOff_->setChecked(p.tasksDeactivated);
    for (std::size_t i = 0; i < speeds_.size(); ++i) speeds_[i]->setValue(std::clamp<int>(p.speeds[i], 1, 7));
    checkButton(showTime_, p.showCompletionTime ? 1 : 2);
    locatorDelay_->setValue(p.locatorDelay / 10.0);
    toolTips_->setChecked(p.toolTips);
    checkButton(dateFormat_, static_cast<int>(p.dateFormat));
    checkButton(timeFormat_, static_cast<int>(p.timeFormat));
    openMaximized_->setChecked(p.openMaximized);
    updateSamples();
}

Preferences UserPanel::shown() const {
    Preferences p = read_;
    p.defaultDatabase = defaultDatabase_->databaseId();
    p.defaultMailDatabase = defaultMailDatabase_->databaseId();
    p.messageBrowseTab = messageTab_->currentIndex() + 1;
    p.mailBrowseTab = mailTab_->currentIndex() + 1;
    if (fileType_->currentIndex() >= 0) p.defaultFileType = fileType_->currentData().toInt();
    p.importPath = importPath_->text().trimmed().toStdString();
    p.tempDirectory = directories_[0]->text().trimmed().toStdString();
    p.databaseDirectory = directories_[1]->text().trimmed().toStdString();
    p.wordIndexDirectory = directories_[2]->text().trimmed().toStdString();
    for (std::size_t i = 0; i < kPreferenceColours.size(); ++i) p.colours[i] = rgbValueOf(colourValues_[i]);
    for (std::size_t i = 0; i < kPreferenceFonts.size(); ++i) {
        p.fonts[i].name = fontNames_[i]->currentFont().family().toStdString();
        p.fonts[i].size = fontSizes_[i]->value();
    }
    p.threadTreeFormat = treeFormat_->currentIndex() + 1;
    p.treeWithBrowse = treeOpening_->checkedId() == 1;
    p.treeOnTop = treeOnTop_->isChecked();
    p.exitAfterTasks = exitAfterTasks_->isChecked();
    p.restrictFrom = hundredthsOf(restrictFrom_->time());
    p.restrictTo = hundredthsOf(restrictTo_->time());
    p.tasksDeactivated = tasksOff_->isChecked();
    for (std::size_t i = 0; i < speeds_.size(); ++i) p.speeds[i] = speeds_[i]->value();
    p.showCompletionTime = showTime_->checkedId() != 2;
    p.locatorDelay = locatorDelayFromSeconds(locatorDelay_->value());
    p.toolTips = toolTips_->isChecked();
    if (dateFormat_->checkedId() > 0) p.dateFormat = dateFormat_->checkedId();
    if (timeFormat_->checkedId() > 0) p.timeFormat = timeFormat_->checkedId();
    p.openMaximized = openMaximized_->isChecked();
    p.resetWindowPlaces = resetPlacesAsked_;
    return p;
}

bool UserPanel::accept() {
    const bool ok = writePreferences(shown());
    closeHostWindow(this);
    return ok;
}

void UserPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closeHostWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pm
