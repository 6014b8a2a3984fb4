// The Qt side of the engine's message boxes, and text that really renders.
#include <QAbstractButton>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include "frame/qt_user_interface.h"
#include "frame_test_support.h"

namespace pm::test {

class UserInterfaceTest : public QObject {
    Q_OBJECT
private slots:
    void boxesCarryTextIconButtonsAndDefault_data();
    void boxesCarryTextIconButtonsAndDefault();
    void escapeTakesTheSafestChoice();
    void nonAsciiTextHasGlyphs();
};

void UserInterfaceTest::boxesCarryTextIconButtonsAndDefault_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("qtButtons");
    QTest::addColumn<int>("qtDefault");

    QTest::newRow("bar separates lines")
        << "You May NOT Exit until Indexing Is Done.|This is to Avoid Corruption." << int(Icon::Exclamation)
        << unsigned(ButtonOk) << int(ButtonOk)
        << "You May NOT Exit until Indexing Is Done.\nThis is to Avoid Corruption." << int(QMessageBox::Warning)
        << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("CR LF separates lines, trailing ones dropped")
        << "This path does not exist!\r\nPlease enter a valid path\r\n" << int(Icon::Information)
        << unsigned(ButtonOk) << int(ButtonOk) << "This path does not exist!\nPlease enter a valid path"
        << int(QMessageBox::Information) << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("question with Cancel the default")
        << "Press OK to continue" << int(Icon::Question) << unsigned(ButtonOk | ButtonCancel) << int(ButtonCancel)
        << "Press OK to continue" << int(QMessageBox::Question) << int(QMessageBox::Ok | QMessageBox::Cancel)
        << int(QMessageBox::Cancel);
    QTest::newRow("fatal, yes and no") << "Postmoor will terminate." << int(Icon::Hand)
                                       << unsigned(ButtonYes | ButtonNo) << int(ButtonYes)
                                       << "Postmoor will terminate." << int(QMessageBox::Critical)
                                       << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes);
    QTest::newRow("no buttons asked: OK") << "Done" << int(Icon::None) << unsigned(ButtonNone) << int(ButtonOk)
                                          << "Done" << int(QMessageBox::NoIcon) << int(QMessageBox::Ok)
                                          << int(QMessageBox::Ok);
}

void UserInterfaceTest::boxesCarryTextIconButtonsAndDefault() {
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(unsigned, buttons);
    QFETCH(int, defaultButton);
    MessageRequest request{"Caption", text.toStdString(), static_cast<Icon>(icon), buttons,
                           static_cast<Button>(defaultButton)};
    auto box = frame::buildMessageBox(request);
    QCOMPARE(box->windowTitle(), QString("Caption"));
    QTEST(box->text(), "shownText");
    QTEST(int(box->icon()), "qtIcon");
    QTEST(int(box->standardButtons()), "qtButtons");
    QTEST(int(box->standardButton(box->defaultButton())), "qtDefault");
}

void UserInterfaceTest::escapeTakesTheSafestChoice() {
    auto box = frame::buildMessageBox({"C", "t", Icon::Question, ButtonYes | ButtonNo | ButtonCancel, ButtonYes});
    QCOMPARE(box->standardButton(box->escapeButton()), QMessageBox::Cancel);
    box = frame::buildMessageBox({"C", "t", Icon::Question, ButtonYes | ButtonNo, ButtonYes});
    QCOMPARE(box->standardButton(box->escapeButton()), QMessageBox::No);
    QCOMPARE(frame::engineButton(QMessageBox::Retry), ButtonRetry);
    QCOMPARE(frame::engineButton(QMessageBox::Save), ButtonNone);
}

// Without a usable font every label renders as boxes: "Å" must draw a
// glyph of its own, different from a character the font lacks.
void UserInterfaceTest::nonAsciiTextHasGlyphs() {
    QFont font = QApplication::font();
    QFontMetrics metrics(font);
    QVERIFY2(metrics.inFont(QChar(0x00C5)), qPrintable("no glyph for Å in " + QFontInfo(font).family()));
    auto render = [&](const QString& text) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 40, 40), Qt::AlignCenter, text);
        return image;
    };
    const QImage ring = render(QStringLiteral("Å"));
    const QImage blank = render(QString());
    const QImage missing = render(QString(QChar(0xE000)));  // private use: no glyph in any font here
    QVERIFY(ring != blank);
    QVERIFY(ring != missing);
    QVERIFY(ring != render(QStringLiteral("A")));  // the ring is drawn, not dropped
    QLabel label(QStringLiteral("Databasen Åsa Ödmann"));
    label.adjustSize();
    screenshot(&label, "glyph_label");
    QVERIFY(label.grab().toImage() != QImage());
}

static RegisterTest<UserInterfaceTest> registeredUserInterfaceTest;

}  // namespace pm::test

#include "user_interface_test.moc"
