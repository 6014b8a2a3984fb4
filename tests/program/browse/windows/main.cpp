// Runs every registered window test class in one program.
#include <QApplication>
#include <QtTest>

#include "frame_test_support.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    for (const auto& make : pm::test::testClasses()) {
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
