// The error report around a handler, and the Qt message boxes behind Dialogs.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <stdexcept>

#include "error_report.h"
#include "errors.h"
#include "fakes.h"
#include "qt_dialogs.h"

using pom::test::FakeDialogs;

class TestReports : public QObject {
    Q_OBJECT

private slots:
    void handlerError_data();
    void handlerError();
    void handlerWithoutError();
    void boxes_data();
    void boxes();
};

void TestReports::handlerError_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("shown");
    QTest::newRow("I/O error") << 0 << "File access denied.";
    QTest::newRow("ends in full stop") << 2 << "Axis Minimum Value must be <= Maximum.";
    QTest::newRow("std exception") << 4 << "bad thing.";
}

void TestReports::handlerError()
{
    QFETCH(int, which);
    QFETCH(QString, shown);
    FakeDialogs dialogs;
    int before = 0;
    int after = 0;
    pom::runReported(dialogs, [&] {
        ++before;
        switch (which) {
        case 0: throw pom::InOutError(pom::io::AccessDenied);
        case 2: throw pom::ChartError("Axis Minimum Value must be <= Maximum.");
        default: throw std::runtime_error("bad thing");
        }
        ++after;
    });
    // What ran before the error stays done; nothing after it ran.
    QCOMPARE(before, 1);
    QCOMPARE(after, 0);
    QCOMPARE(dialogs.shown.size(), std::size_t(1));
    QCOMPARE(dialogs.shown[0].kind, std::string("error"));
    QCOMPARE(QString::fromStdString(dialogs.shown[0].text), shown);
}

void TestReports::handlerWithoutError()
{
    FakeDialogs dialogs;
    bool ran = false;
    pom::runReported(dialogs, [&] { ran = true; });
    QVERIFY(ran);
    QVERIFY(dialogs.shown.empty());
}

void TestReports::boxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("owned");
    QTest::newRow("message") << "message" << int(QMessageBox::NoIcon) << "Uwaga !" << true;
    QTest::newRow("error") << "error" << int(QMessageBox::Critical) << "pomiarownik" << true;
    QTest::newRow("applicationError") << "applicationError" << int(QMessageBox::Critical)
                                      << "Application Error" << false;
}

void TestReports::boxes()
{
    QFETCH(QString, kind);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(bool, owned);

    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    struct Seen {
        bool found = false;
        int icon = -1;
        QString title, text;
        QWidget* owner = nullptr;
        int buttons = 0;
        bool okOnly = false;
    } seen;
    // The box is modal: look at it from inside its own event loop, then press OK.
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {true, int(box->icon()), box->windowTitle(), box->text(), box->parentWidget(),
                int(box->buttons().size()), box->standardButtons() == QMessageBox::Ok};
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);

    pom::QtDialogs dialogs("pomiarownik");
    const std::string text = "Linia 1\nZażółć <b>gęślą</b>";
    if (kind == "message")
        dialogs.message(text, "Uwaga !");
    else if (kind == "error")
        dialogs.error(text);
    else
        dialogs.applicationError(text);

    QVERIFY(seen.found);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, QString::fromStdString(text));
    QCOMPARE(seen.buttons, 1);
    QVERIFY(seen.okOnly);
    QCOMPARE(seen.owner, owned ? &window : nullptr);
}

QTEST_MAIN(TestReports)
#include "test_reports.moc"
