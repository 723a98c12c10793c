// ColorBox1's list, its selection from code (which fires nothing), the
// custom entry for an unlisted colour, and how an entry is drawn.
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "colour_box.h"

using pom::Colour;
using pom::ColorBox;

class TestColourBox : public QObject {
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void designSelection();
    void settingFromCodeFiresNothing();
    void operatorPickIsActivated();
    void unlistedColourBecomesCustomEntry();
    void drawing_data();
    void drawing();
};

void TestColourBox::entries_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("number");
    const struct {
        const char* name;
        uint number;
    } expected[] = {
        {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
        {"clOlive", 0x008080}, {"clNavy", 0x800000}, {"clPurple", 0x800080},
        {"clTeal", 0x808000}, {"clGray", 0x808080}, {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
        {"clActiveBorder", 0xFF00000A}, {"clActiveCaption", 0xFF000002},
        {"clAppWorkSpace", 0xFF00000C}, {"clBackground", 0xFF000001},
        {"clBtnFace", 0xFF00000F}, {"clBtnHighlight", 0xFF000014},
        {"clBtnShadow", 0xFF000010}, {"clBtnText", 0xFF000012},
        {"clCaptionText", 0xFF000009}, {"clGradientActiveCaption", 0xFF00001B},
        {"clGradientInactiveCaption", 0xFF00001C}, {"clGrayText", 0xFF000011},
        {"clHighlight", 0xFF00000D}, {"clHighlightText", 0xFF00000E},
        {"clHotLight", 0xFF00001A}, {"clInactiveBorder", 0xFF00000B},
        {"clInactiveCaption", 0xFF000003}, {"clInactiveCaptionText", 0xFF000013},
        {"clInfoBk", 0xFF000018}, {"clInfoText", 0xFF000017}, {"clMenu", 0xFF000004},
        {"clMenuBar", 0xFF00001E}, {"clMenuHighlight", 0xFF00001D},
        {"clMenuText", 0xFF000007}, {"clScrollBar", 0xFF000000},
        {"cl3DDkShadow", 0xFF000015}, {"cl3DLight", 0xFF000016}, {"clWindow", 0xFF000005},
        {"clWindowFrame", 0xFF000006}, {"clWindowText", 0xFF000008},
    };
    QCOMPARE(std::size(expected), std::size_t(50));
    int position = 0;
    for (const auto& e : expected) {
        QTest::newRow(e.name) << position << QString(e.name) << e.number;
        ++position;
    }
}

void TestColourBox::entries()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(uint, number);
    ColorBox box;
    QCOMPARE(box.count(), 50);
    QCOMPARE(box.itemText(position), name);
    QCOMPARE(box.colourAt(position), Colour(number));
}

void TestColourBox::designSelection()
{
    ColorBox box;
    QCOMPARE(box.selected(), Colour(255));
    QCOMPARE(box.currentText(), QString("clRed"));
}

void TestColourBox::settingFromCodeFiresNothing()
{
    ColorBox box;
    QSignalSpy activated(&box, &QComboBox::activated);
    QSignalSpy indexChanged(&box, &QComboBox::currentIndexChanged);
    QSignalSpy textChanged(&box, &QComboBox::currentTextChanged);

    box.setSelected(0xFF0000);
    QCOMPARE(box.selected(), Colour(0xFF0000));
    QCOMPARE(box.currentText(), QString("clBlue"));
    box.setSelected(0xFF00000F);
    QCOMPARE(box.currentText(), QString("clBtnFace"));

    QCOMPARE(activated.count(), 0);
    QCOMPARE(indexChanged.count(), 0);
    QCOMPARE(textChanged.count(), 0);
}

void TestColourBox::operatorPickIsActivated()
{
    ColorBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy activated(&box, &QComboBox::activated);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(box.selected(), Colour(0x00FF00)); // the entry after clRed: clLime
}

void TestColourBox::unlistedColourBecomesCustomEntry()
{
    ColorBox box;
    QSignalSpy indexChanged(&box, &QComboBox::currentIndexChanged);

    box.setSelected(0x123456);
    QCOMPARE(box.count(), 51);
    QCOMPARE(box.currentIndex(), 50);
    QCOMPARE(box.itemText(50), QString("$00123456"));
    QCOMPARE(box.selected(), Colour(0x123456));

    // The same colour again finds its entry; a listed one is still found.
    box.setSelected(0x123456);
    QCOMPARE(box.count(), 51);
    box.setSelected(0x0000FF);
    QCOMPARE(box.currentText(), QString("clRed"));
    box.setSelected(0x123456);
    QCOMPARE(box.currentIndex(), 50);
    QCOMPARE(indexChanged.count(), 0);
}

void TestColourBox::drawing_data()
{
    QTest::addColumn<uint>("number");
    QTest::addColumn<QColor>("fill");
    const QPalette palette;
    QTest::newRow("clRed") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("clSkyBlue") << 0xF0CAA6u << QColor(0xA6, 0xCA, 0xF0);
    QTest::newRow("clBtnFace") << 0xFF00000Fu << palette.color(QPalette::Button);
    QTest::newRow("clWindow") << 0xFF000005u << palette.color(QPalette::Base);
    QTest::newRow("clHighlight") << 0xFF00000Du << palette.color(QPalette::Highlight);
}

void TestColourBox::drawing()
{
    QFETCH(uint, number);
    QFETCH(QColor, fill);
    ColorBox box;
    box.setSelected(number);
    const int index = box.currentIndex();

    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    QImage image(120, ColorBox::ItemHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        box.paintEntry(painter, image.rect(), index, palette, false);
    }
    const int side = ColorBox::ItemHeight - 2;
    // Framed square: frame at its edge, the colour inside.
    QCOMPARE(image.pixelColor(1, 1 + side / 2), QColor(Qt::black));
    QCOMPARE(image.pixelColor(1 + side / 2, 1 + side / 2), fill);
    // The name starts 5 px after the square, not before.
    const int gapStart = 1 + side;
    for (int x = gapStart; x < gapStart + ColorBox::TextGap; ++x)
        for (int y = 0; y < image.height(); ++y)
            QCOMPARE(image.pixelColor(x, y), QColor(Qt::white));
    bool inked = false;
    for (int x = gapStart + ColorBox::TextGap; x < image.width() && !inked; ++x)
        for (int y = 0; y < image.height() && !inked; ++y)
            inked = image.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY(inked);
}

QTEST_MAIN(TestColourBox)
#include "test_colour_box.moc"
