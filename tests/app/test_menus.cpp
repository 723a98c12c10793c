// The menu commands on the real window: the about box, a replay with its busy
// cursor, and Save as.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "window_fixture.h"

using namespace pom;
using namespace pom::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The cursor shape while the caption changes, which the replay does as it reads.
struct CursorWhileReading {
    explicit CursorWhileReading(TForm1& form)
        : connection(QObject::connect(&form, &QWidget::windowTitleChanged, &form, [this] {
              const QCursor* cursor = QApplication::overrideCursor();
              shape = cursor ? cursor->shape() : Qt::ArrowCursor;
          }))
    {
    }
    ~CursorWhileReading() { QObject::disconnect(connection); }
    CursorWhileReading(const CursorWhileReading&) = delete;
    CursorWhileReading& operator=(const CursorWhileReading&) = delete;

    QMetaObject::Connection connection;
    Qt::CursorShape shape = Qt::BlankCursor;  // no caption change seen
};

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<WindowFixture>(); }
    void cleanup() { m_world.reset(); }

    void aboutBox();
    void replayDrawsTheLogWithABusyCursor();
    void replayOfAMissingFileKeepsTheCurrentLog();
    void saveAsSwitchesToTheCopy();

private:
    FakeDialogs& dialogs() { return m_world->dialogs(); }

    std::unique_ptr<WindowFixture> m_world;
};

void TestMenus::aboutBox()
{
    m_world->form.Oprogramie1->trigger();
    QCOMPARE(dialogs().shown.size(), std::size_t(1));
    const FakeDialogs::Shown& box = dialogs().shown[0];
    QCOMPARE(box.kind, std::string("message"));
    QCOMPARE(box.title, std::string("O programie... "));
    QCOMPARE(box.text, std::string("Pomiarownik\n"
                                   "Wersja " POM_VERSION "\n"
                                   "TORNI Sp. z o.o.\n"
                                   "ul. Przemysłowa 12\n"
                                   "44-100 Gliwice\n"
                                   "tel. (32) 231 00 00\n"
                                   "fax (32) 231 00 01"));
}

void TestMenus::replayDrawsTheLogWithABusyCursor()
{
    TForm1& f = m_world->form;
    f.chartModel().addPoint(45000.0, 1.0);
    const QString path = m_world->fx.dir.file("zapis.txt");
    writeFile(path, "TORNI - Zapis temperatury:   05.03.2024\r\n\r\n"
                    "1\t23:59:58\t+0023.5\r\n"
                    "2\t00:00:01\t-0012.3\r\n");
    dialogs().nextOpen = path.toStdString();
    CursorWhileReading cursor(f);

    f.Otwrz1->trigger();
    QVERIFY(dialogs().shown.empty());
    const auto& points = f.chartModel().points();
    QCOMPARE(points.size(), std::size_t(2));
    QCOMPARE(points[0].y, 23.5);
    QCOMPARE(points[1].y, -12.3);
    QVERIFY(points[1].x > 1.0);  // past midnight
    QCOMPARE(f.windowTitle(), "Pomiarownik.     " + path);
    QCOMPARE(f.state().LogFileName, path.toStdString());
    QVERIFY(!f.OpenComm->isEnabled());
    QCOMPARE(cursor.shape, Qt::WaitCursor);
    QVERIFY(!QApplication::overrideCursor());
}

void TestMenus::replayOfAMissingFileKeepsTheCurrentLog()
{
    TForm1& f = m_world->form;
    dialogs().nextOpen = m_world->fx.dir.file("brak.txt").toStdString();
    f.Otwrz1->trigger();
    QCOMPARE(dialogs().shown.size(), std::size_t(1));
    QCOMPARE(dialogs().shown[0].text, std::string("File not found."));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(f.state().LogFileName, std::string("zrx1.txt"));
    QCOMPARE(f.windowTitle(), QString("Pomiarownik.     zrx1.txt"));
    QVERIFY(f.OpenComm->isEnabled());

    // Cancelled: no busy cursor was left behind either.
    f.Otwrz1->trigger();
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(dialogs().shown.size(), std::size_t(1));
}

void TestMenus::saveAsSwitchesToTheCopy()
{
    TForm1& f = m_world->form;
    const QString copy = m_world->fx.dir.file("kopia.txt");
    dialogs().nextSave = copy.toStdString();
    f.Zapisz1->trigger();
    QVERIFY(dialogs().shown.empty());
    QVERIFY(QFile::exists(copy));
    QCOMPARE(f.state().LogFileName, copy.toStdString());
    QCOMPARE(f.windowTitle(), "Pomiarownik.     " + copy);
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
