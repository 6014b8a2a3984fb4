#include "frame/windows/about_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "frame/windows/child_window.h"

namespace pm {
const char* programVersion();
}

namespace pm::frame {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral(" About Postmoor"));
    auto* name = new QLabel(QStringLiteral("Postmoor Mail, Forum & Newsgroup Message Archiver"));
    QFont f = name->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    name->setFont(f);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QString::fromLatin1(programVersion())));
    auto* what = new QLabel(QStringLiteral(
        "Keeps your mail, forum and newsgroup messages in databases of their own, "
        "indexes their words and lets you browse, search, classify, print, export and purge them."));
    what->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(what);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, 200);
}

}  // namespace pm::frame
