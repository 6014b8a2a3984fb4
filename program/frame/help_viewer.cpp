#include "frame/help_viewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "common/globals.h"
#include "frame/window_placement.h"

// The help pages live in a static library: their resources must be
// registered by hand.
static void registerHelpResources() { Q_INIT_RESOURCE(help); }

namespace pm::frame {

namespace {

const QString kRoot = QStringLiteral(":/help/");

QString fileOf(const QString& topic) {
    QString name = topic.trimmed();
    if (name.startsWith('~')) name.remove(0, 1);
    return kRoot + name + ".html";
}

QString readPage(const QString& topic) {
    QFile f(fileOf(topic));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QString plainText(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

void ensureResources() {
    static const bool registered = [] {
        registerHelpResources();
        return true;
    }();
    (void)registered;
}

QPointer<HelpViewer>& theViewer() {
    static QPointer<HelpViewer> viewer;
    return viewer;
}

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return false;
        // The key reaches the focused widget first; taking it there keeps
        // it from travelling on to the parents.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        if (Mem.DoTask == TaskDue) return true;  // no help while a task is about to start
        openHelp(helpTopicOf(widget));
        return true;
    }
};

}  // namespace

QStringList HelpViewer::topics() {
    ensureResources();
    QStringList out;
    for (const QString& file : QDir(kRoot).entryList({"*.html"}, QDir::Files, QDir::Name)) out << file.chopped(5);
    return out;
}

bool HelpViewer::hasTopic(const QString& topic) {
    ensureResources();
    return QFile::exists(fileOf(topic));
}

QString HelpViewer::topicTitle(const QString& topic) {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    const QRegularExpressionMatch m = title.match(readPage(topic));
    return m.hasMatch() ? m.captured(1) : topic;
}

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    ensureResources();
    setWindowTitle(QStringLiteral("Postmoor Help"));
    searchField_ = new QLineEdit;
    searchField_->setPlaceholderText(QStringLiteral("Words to search for"));
    auto* find = new QPushButton(QStringLiteral("&Search"));
    auto* contents = new QPushButton(QStringLiteral("&Contents"));
    auto* close = new QPushButton(QStringLiteral("C&lose"));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Search for")));
    top->addWidget(searchField_, 1);
    top->addWidget(find);
    top->addWidget(contents);
    top->addWidget(close);
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("searchNote"));
    note_->hide();

    pages_ = new QListWidget;
    browser_ = new QTextBrowser;
    browser_->setOpenLinks(true);
    auto* split = new QSplitter;
    split->addWidget(pages_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note_);
    layout->addWidget(split, 1);
    resize(820, 560);

    connect(find, &QPushButton::clicked, this, [this] { search(searchField_->text()); });
    connect(searchField_, &QLineEdit::returnPressed, this, [this] { search(searchField_->text()); });
    connect(contents, &QPushButton::clicked, this, [this] {
        note_->hide();
        listTopics(topics());
        showTopic(QStringLiteral("Contents"));
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(pages_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) showTopic(item->data(Qt::UserRole).toString());
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        current_ = QFileInfo(url.path()).completeBaseName();
    });
    listTopics(topics());
}

void HelpViewer::listTopics(const QStringList& list) {
    QSignalBlocker block(pages_);
    pages_->clear();
    for (const QString& topic : list) {
        auto* item = new QListWidgetItem(topicTitle(topic), pages_);
        item->setData(Qt::UserRole, topic);
    }
}

bool HelpViewer::showTopic(const QString& topic) {
    const bool known = hasTopic(topic);
    browser_->setSource(QUrl(QStringLiteral("qrc") + fileOf(known ? topic : QStringLiteral("Contents"))));
    current_ = known ? QString(topic).remove(QRegularExpression(QStringLiteral("^~"))) : QStringLiteral("Contents");
    {
        QSignalBlocker block(pages_);
        pages_->setCurrentRow(-1);
        for (int i = 0; i < pages_->count(); ++i)
            if (pages_->item(i)->data(Qt::UserRole).toString() == current_) pages_->setCurrentRow(i);
    }
    if (!known)
        browser_->setHtml(QStringLiteral("<p><i>There is no help page for this window yet.</i></p>") +
                          readPage(QStringLiteral("Contents")));
    return known;
}

int HelpViewer::search(const QString& words) {
    const QStringList wanted = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QStringList found;
    for (const QString& topic : topics()) {
        const QString text = plainText(readPage(topic));
        bool all = true;
        for (const QString& w : wanted)
            if (!text.contains(w, Qt::CaseInsensitive)) all = false;
        if (all) found << topic;
    }
    if (found.isEmpty()) {
        // Say so, and leave every page to choose from.
        note_->setText(wanted.isEmpty() ? QStringLiteral("Type the words to search for.")
                                        : QStringLiteral("No help page holds \"%1\".").arg(wanted.join(' ')));
        note_->show();
        listTopics(topics());
        return 0;
    }
    note_->setText(found.size() == 1 ? QStringLiteral("1 page holds \"%1\".").arg(wanted.join(' '))
                                     : QStringLiteral("%1 pages hold \"%2\".").arg(found.size()).arg(wanted.join(' ')));
    note_->show();
    listTopics(found);
    showTopic(found.front());
    return static_cast<int>(found.size());
}

QString HelpViewer::searchNote() const { return note_->isHidden() ? QString() : note_->text(); }

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpViewer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    keepOnScreen(this);  // whatever size it had before
}

void HelpViewer::focusSearch() {
    searchField_->setFocus();
    searchField_->selectAll();
}

QString helpTopicOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property("helpTopic");
        if (topic.isValid() && !topic.toString().isEmpty()) return topic.toString();
    }
    return QStringLiteral("Contents");
}

HelpViewer* openHelp(const QString& topic) {
    QPointer<HelpViewer>& viewer = theViewer();
    QWidget* modal = QApplication::activeModalWidget();
    if (!viewer) viewer = new HelpViewer(modal);
    else if (modal && viewer->parentWidget() != modal) viewer->setParent(modal, Qt::Window);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->showTopic(topic.isEmpty() ? QStringLiteral("Contents") : topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

void installHelpKey(QApplication& application) { application.installEventFilter(new HelpKeyFilter(&application)); }

}  // namespace pm::frame
