// The window's design: every control with its place, font and design value.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "chart_view.h"
#include "colour_box.h"
#include "form.h"
#include "form_controls.h"

namespace pom {

namespace {

QFont arial(int pixels, bool bold = false, bool fixedPitch = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setFixedPitch(fixedPitch);
    return font;
}

template <class W>
W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const char* caption, QRect r)
{
    return place(new QGroupBox(QString::fromUtf8(caption), parent), name, r.x(), r.y(),
                 r.width(), r.height());
}

QLineEdit* edit(QWidget* parent, const char* name, const char* text, QRect r)
{
    return place(new QLineEdit(QString::fromUtf8(text), parent), name, r.x(), r.y(), r.width(),
                 r.height());
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect r)
{
    auto* l = place(new QLabel(QString::fromUtf8(caption), parent), name, r.x(), r.y(), r.width(),
                    r.height());
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, QRect r)
{
    return place(new QCheckBox(QString::fromUtf8(caption), parent), name, r.x(), r.y(),
                 r.width(), r.height());
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect r)
{
    return place(new QPushButton(QString::fromUtf8(caption), parent), name, r.x(), r.y(),
                 r.width(), r.height());
}

// --- Labels wider than their design box ---
// The design's labels were sized to their text by Arial's hinted widths;
// Arial's metric twin drawn unhinted runs a pixel or two wider and would lose
// the last letter. Centred, the excess falls into the side bearings.
void centreIfOverfull(QLabel* l)
{
    if (l->fontMetrics().horizontalAdvance(l->text()) > l->width())
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}
// --- end of the labels block ---

} // namespace

void TForm1::createControls()
{
    setFont(arial(11));
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);
    // The window fits its controls exactly and keeps that size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    GroupBox1 = groupBox(client, "GroupBox1", "Temperatura [C]", {0, 0, 201, 97});
    GroupBox1->setFont(arial(16, true));
    Edit3 = edit(GroupBox1, "Edit3", "", {8, 24, 185, 59});
    Edit3->setReadOnly(true);
    Edit3->setFont(arial(43, true));
    setWidgetColours(*Edit3, colours::Silver, colours::WindowText);

    GroupBox3 = groupBox(client, "GroupBox3", "Wykres", {208, 0, 145, 97});
    CheckBox2 = checkBox(GroupBox3, "CheckBox2", "Płynący", {8, 16, 65, 17});
    Label3 = label(GroupBox3, "Label3", "Dlugosc (min)", {8, 32, 66, 14});
    Label3->setEnabled(false);
    Edit10 = edit(GroupBox3, "Edit10", "100", {96, 24, 41, 22});
    Edit10->setEnabled(false);
    CheckBox1 = checkBox(GroupBox3, "CheckBox1", "Kresl", {8, 48, 81, 17});
    ColorBox1 = place(new ColorBox(GroupBox3), "ColorBox1", 104, 47, 33, 18);
    ColorBox1->setFont(arial(9));
    ColorBox1->setEnabled(false);
    Edit6 = edit(GroupBox3, "Edit6", "", {2, 72, 140, 22});

    GroupBox2 = groupBox(client, "GroupBox2", "Alarm", {360, 0, 153, 41});
    CheckBox3 = checkBox(GroupBox2, "CheckBox3", "Wł", {8, 16, 33, 17});
    Edit5 = edit(GroupBox2, "Edit5", "22", {72, 16, 33, 22});
    Edit4 = edit(GroupBox2, "Edit4", "25", {112, 16, 33, 22});

    GroupBox4 = groupBox(client, "GroupBox4", "Pomiar co:", {360, 40, 81, 57});
    Edit1 = edit(GroupBox4, "Edit1", "0", {8, 16, 25, 23});
    Edit1->setFont(arial(12));
    Label4 = label(GroupBox4, "Label4", "min", {8, 40, 16, 14});
    Edit2 = edit(GroupBox4, "Edit2", "0", {48, 16, 25, 22});
    Label2 = label(GroupBox4, "Label2", "sek", {48, 40, 17, 14});

    Label6 = label(client, "Label6", "ALARM", {448, 56, 68, 23});
    Label6->setFont(arial(20, false, true));
    setWidgetColours(*Label6, colours::Red, colours::WindowText);
    Label6->hide();

    Panel2 = place(new QFrame(client), "Panel2", 520, 8, 105, 89);
    Panel2->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    OpenComm = button(Panel2, "OpenComm", "&Połącz", {8, 8, 89, 41});
    OpenComm->setFont(arial(13));
    Button1 = button(Panel2, "Button1", "Zapis ustawień", {8, 56, 89, 25});
    Button1->setFont(arial(11, false, true));

    Chart1 = place(new ChartView(m_chartModel, client), "Chart1", 0, 104, 625, 361);

    // Unused by any operation, but part of the design: empty, bold.
    m_unnamedLabel = new QLabel(client);
    m_unnamedLabel->move(216, 0);
    QFont bold = font();
    bold.setBold(true);
    m_unnamedLabel->setFont(bold);
    m_unnamedLabel->adjustSize();

    for (QLabel* l : {Label3, Label4, Label2, Label6})
        centreIfOverfull(l);
}

void TForm1::createMenus()
{
    auto menu = [this](const char* name, const char* caption) {
        auto* m = new QMenu(QString::fromUtf8(caption), this);
        m->setObjectName(QLatin1String(name));
        menuBar()->addMenu(m);
        return m;
    };
    auto item = [](QMenu* parent, const char* name, const char* caption) {
        QAction* a = parent->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    Plik1 = menu("Plik1", "Plik");
    Otwrz1 = item(Plik1, "Otwrz1", "Otwórz");
    Zapisz1 = item(Plik1, "Zapisz1", "Zapisuj jako");
    Drukuj1 = item(Plik1, "Drukuj1", "Drukuj");
    Zakocz1 = item(Plik1, "Zakocz1", "Zakończ");
    Pomoc1 = menu("Pomoc1", "Pomoc");
    Oprogramie1 = item(Pomoc1, "Oprogramie1", "O programie...");
}

} // namespace pom
