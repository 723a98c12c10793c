#pragma once
// The main window: every control, every handler, and the program's state.
#include <QMainWindow>
#include <exception>
#include <memory>

#include "chart_model.h"
#include "controls.h"
#include "datetime.h"
#include "dialogs.h"
#include "recorder_state.h"
#include "regional.h"
#include "serial_port.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace pom {

class ChartView;
class ColorBox;
class Printer;
class RunControl;

// What the window works with but does not own, so tests can stand in for it.
struct FormServices {
    Dialogs& dialogs;
    SerialPort& port;
    Clock& clock;
    RegionalFormats formats;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The client area below the menu bar.
    static constexpr int ClientWidth = 625;
    static constexpr int ClientHeight = 465;

    // Builds the controls at their design values, then runs FormCreate.
    explicit TForm1(FormServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    RecorderState& state() { return m_state; }
    ChartModel& chartModel() { return m_chartModel; }
    Controls& controls() { return *m_controls; }
    Dialogs& dialogs() { return m_services.dialogs; }
    const FormServices& services() const { return m_services; }
    QLabel* unnamedLabel() const { return m_unnamedLabel; }

    // A handler ended by an error reports it and leaves done what it had done.
    void runHandler(void (TForm1::*handler)());

    // The form's components, by their designer names.
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    ColorBox* ColorBox1 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* OpenComm = nullptr;
    QPushButton* Button1 = nullptr;
    ChartView* Chart1 = nullptr;

    QMenu* Plik1 = nullptr;
    QAction* Otwrz1 = nullptr;
    QAction* Zapisz1 = nullptr;
    QAction* Drukuj1 = nullptr;
    QAction* Zakocz1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* Oprogramie1 = nullptr;

    // Handlers of the main button and of "Zakończ".
    void OpenCommClick();
    void Zakocz1Click();

    // --- The option handlers, the other menu commands and "Zapis ustawień" ---
    void CheckBox1Click();   // options.cpp
    void ColorBox1Change();
    void CheckBox2Click();
    void Edit1Change();
    void Edit2Change();
    void Drukuj1Click();     // print.cpp
    void Oprogramie1Click(); // about.cpp
    void Otwrz1Click();      // file_commands.cpp
    void Zapisz1Click();
    void Button1Click();

    // The current printer, which the print dialog sets up.
    Printer& printer();
    // While set, an error of a handler that the program set off by changing a
    // control is kept here for that code to raise, rather than reported.
    void keepHandlerErrors(std::exception_ptr* into) { m_keptError = into; }
    // --- end of the option handlers ---

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void connectHandlers();
    void connectOptions();  // options.cpp
    // A handler the program can set off (options.cpp).
    void runOption(void (TForm1::*handler)());

    // form_layout.cpp
    void createControls();
    void createMenus();

    FormServices m_services;
    RecorderState m_state;
    ChartModel m_chartModel;
    std::unique_ptr<Controls> m_controls;
    std::unique_ptr<RunControl> m_runControl;  // after the controls: it goes first
    QLabel* m_unnamedLabel = nullptr;
    bool m_centred = false;
    std::unique_ptr<Printer> m_printer;
    std::exception_ptr* m_keptError = nullptr;
};

} // namespace pom
