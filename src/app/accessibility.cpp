#include "accessibility.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "chart_view.h"
#include "colour_box.h"
#include "form.h"

namespace pom {

namespace {

const char* const ColourBoxName = "Kolor linii wykresu";

struct Accessible {
    QWidget* widget;
    const char* name;  // nullptr: the caption is the name
    const char* description;
};

void describe(const Accessible& a)
{
    if (a.name)
        a.widget->setAccessibleName(QString::fromUtf8(a.name));
    a.widget->setAccessibleDescription(QString::fromUtf8(a.description));
}

void describeControls(TForm1& f)
{
    const Accessible table[] = {
        {f.GroupBox1, nullptr, "Ostatni odczyt termometru w stopniach Celsjusza"},
        {f.Edit3, "Odczyt temperatury",
         "Ostatni odczyt; tło czerwone: osiągnięty górny próg alarmu, niebieskie: dolny"},
        {f.GroupBox3, nullptr, "Ustawienia wykresu"},
        {f.CheckBox2, nullptr, "Okno czasu wykresu przesuwa się wraz z pomiarami"},
        {f.Label3, nullptr, "Podpis pola długości okna wykresu"},
        {f.Edit10, "Długość okna wykresu w minutach", "Czynne, gdy zaznaczono Płynący"},
        {f.CheckBox1, nullptr, "Rysowanie pomiarów na wykresie"},
        {f.ColorBox1, ColourBoxName, "Czynny, gdy zaznaczono Kresl"},
        {f.Edit6, "Dopisek do tytułu wykresu",
         "Tekst dodawany do tytułu wykresu, gdy pomiar się zaczyna"},
        {f.GroupBox2, nullptr, "Alarm temperatury"},
        {f.CheckBox3, nullptr, "Włącza alarm temperatury"},
        {f.Edit5, "Dolny próg alarmu", "Całe stopnie; odczyt równy lub niższy daje alarm"},
        {f.Edit4, "Górny próg alarmu", "Całe stopnie; odczyt równy lub wyższy daje alarm"},
        {f.GroupBox4, nullptr, "Odstęp między pomiarami"},
        {f.Edit1, "Odstęp pomiarów, minuty", "Minuty odstępu między pomiarami"},
        {f.Label4, nullptr, "Podpis pola minut"},
        {f.Edit2, "Odstęp pomiarów, sekundy", "Sekundy odstępu między pomiarami"},
        {f.Label2, nullptr, "Podpis pola sekund"},
        {f.Label6, nullptr, "Odczyt osiągnął próg alarmu"},
        {f.Panel2, "Sterowanie pomiarem", "Przycisk pomiaru i zapis ustawień"},
        {f.OpenComm, nullptr,
         "Kolejno: wyszukanie termometru, początek pomiaru, wstrzymanie, wznowienie"},
        {f.Button1, nullptr, "Zapisuje ustawienia w pliku config.kvt"},
        {f.Chart1, "Wykres temperatury", "Temperatura w funkcji godziny"},
        // The pop-ups; Qt gives their items no description.
        {f.Plik1, "Plik", "Otwarcie zapisanego pomiaru, zapis jako, druk wykresu, zakończenie"},
        {f.Pomoc1, "Pomoc", "O programie"},
    };
    for (const Accessible& a : table)
        describe(a);
}

// On Linux Qt names a combo box after its current entry and takes its label
// from a buddy. The colour box has no label on screen, so it gets a hidden one.
void labelColourBox(TForm1& f)
{
    auto* label = new QLabel(QString::fromUtf8(ColourBoxName), f.GroupBox3);
    label->setObjectName(QStringLiteral("ColorBox1Label"));
    label->setBuddy(f.ColorBox1);
    label->hide();
}

// Group by group from the left, and within a group row by row.
void orderTabs(TForm1& f)
{
    QWidget* const order[] = {
        f.Edit3,
        f.CheckBox2, f.Edit10, f.CheckBox1, f.ColorBox1, f.Edit6,
        f.CheckBox3, f.Edit5, f.Edit4,
        f.Edit1, f.Edit2,
        f.OpenComm, f.Button1,
        f.Chart1,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

void applyAccessibility(TForm1& form)
{
    describeControls(form);
    labelColourBox(form);
    orderTabs(form);
}

} // namespace pom
