// The main button's states and Exit, on the real window with a fake port.
#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "app_fixture.h"

namespace pom::test {

class TestRunControl : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pressActsOnTheCaption_data();
    void pressActsOnTheCaption();
    void aSecondPressWithoutAPortWarnsAgain();
    void connectMeasurePauseResumeAndExit();
    void closingTheWindowWhileMeasuringStopsTheWorker();

private:
    void press() { QTest::mouseClick(m_form->OpenComm, Qt::LeftButton); }
    Controls& controls() { return m_form->controls(); }

    std::unique_ptr<WorkDir> m_work;
    std::unique_ptr<AppServices> m_services;
    std::unique_ptr<TForm1> m_form;
};

void TestRunControl::init()
{
    m_work = std::make_unique<WorkDir>();
    m_services = std::make_unique<AppServices>();
    m_form = std::make_unique<TForm1>(m_services->form());
}

void TestRunControl::cleanup()
{
    m_form.reset();
    m_services.reset();
    m_work.reset();
}

void TestRunControl::pressActsOnTheCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("plikEnabled");
    const QString noDevice = QStringLiteral("Urządzenie nie odpowiada ");
    const QString noPort = QStringLiteral("Niewłaściwa nazwa portu lub jest on aktywny ");
    QTest::newRow("connect") << "&Połącz" << "&Połącz" << noDevice << true;
    QTest::newRow("connect synonym") << "&Connect" << "&Connect" << noDevice << true;
    QTest::newRow("measure, no port") << "&Mierz" << "&Mierz" << noPort << true;
    QTest::newRow("measure synonym") << "&Measure" << "&Measure" << noPort << true;
    QTest::newRow("pause") << "&Wstrzymaj" << "&Wznów" << QString() << true;
    QTest::newRow("pause synonym") << "&Hold" << "&Wznów" << QString() << true;
    QTest::newRow("resume") << "&Wznów" << "&Wstrzymaj" << QString() << false;
    QTest::newRow("empty caption resumes") << "" << "&Wstrzymaj" << QString() << false;
    QTest::newRow("any other resumes") << "&wstrzymaj" << "&Wstrzymaj" << QString() << false;
}

void TestRunControl::pressActsOnTheCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, next);
    QFETCH(QString, message);
    QFETCH(bool, plikEnabled);
    controls().setText(Ctl::OpenComm, caption.toStdString());
    press();
    QCOMPARE(m_form->OpenComm->text(), next);
    QCOMPARE(controls().enabled(Ctl::Plik1), plikEnabled);
    QVERIFY(controls().enabled(Ctl::Otwrz1));
    const auto& shown = m_services->dialogs.shown;
    if (message.isEmpty()) {
        QVERIFY(shown.empty());
    } else {
        QCOMPARE(shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(shown[0].text), message);
        QCOMPARE(QString::fromStdString(shown[0].title), QStringLiteral("Uwaga !"));
    }
}

void TestRunControl::aSecondPressWithoutAPortWarnsAgain()
{
    controls().setText(Ctl::OpenComm, "&Mierz");
    press();
    press();
    QCOMPARE(m_services->dialogs.shown.size(), std::size_t{2});
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Mierz"));
    QVERIFY(controls().enabled(Ctl::Plik1));
}

void TestRunControl::connectMeasurePauseResumeAndExit()
{
    m_services->port.add(2, answer("+0023.5\r"));
    press();
    QCOMPARE(m_services->dialogs.shown.at(0).text, std::string("KVT-4xx"));
    QCOMPARE(m_services->dialogs.shown.at(0).title, std::string("Znaleziono  :"));
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Mierz"));

    press();
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wstrzymaj"));
    QVERIFY(!controls().enabled(Ctl::Plik1));
    QVERIFY(!controls().enabled(Ctl::Otwrz1));
    QCOMPARE(QString::fromStdString(m_form->chartModel().title()), QStringLiteral("Wykres z dnia 11.12.2026  "));

    press();
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wznów"));
    QVERIFY(controls().enabled(Ctl::Plik1));
    QVERIFY(!controls().enabled(Ctl::Otwrz1));
    press();
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wstrzymaj"));
    QVERIFY(!controls().enabled(Ctl::Plik1));
    QVERIFY(!controls().enabled(Ctl::Otwrz1));
    press();

    m_services->dialogs.confirmAnswer = false;
    m_form->Zakocz1->trigger();
    QCOMPARE(m_services->dialogs.shown.back().text, std::string("Zakończenie pomiaru i zamknięcie aplikacji?"));
    QCOMPARE(m_services->dialogs.shown.back().title, std::string("Confirm"));
    QCOMPARE(m_form->OpenComm->text(), QStringLiteral("&Wznów"));
    QVERIFY(m_services->port.device(2).open);

    m_services->dialogs.confirmAnswer = true;
    m_form->Zakocz1->trigger();
    QVERIFY(!m_services->port.device(2).open);
}

void TestRunControl::closingTheWindowWhileMeasuringStopsTheWorker()
{
    m_services->port.add(2, answer("+0023.5\r"));
    press();
    press();
    m_form->show();
    QTest::qWait(50);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(m_form->close());  // no question, and no wait for the 1950 ms reply wait
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(m_services->dialogs.shown.size() == 1);
    const auto sent = m_services->port.device(2).written.size();
    QTest::qWait(2500);
    QCOMPARE(m_services->port.device(2).written.size(), sent);
}

} // namespace pom::test

QTEST_MAIN(pom::test::TestRunControl)
#include "test_run_control.moc"
