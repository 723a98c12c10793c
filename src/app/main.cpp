#include <QApplication>

#include "errors.h"
#include "qt_dialogs.h"
#include "startup.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string executable = argc > 0 ? argv[0] : "pomiarownik";

    pom::QtDialogs dialogs(pom::applicationTitle(executable));
    const std::unique_ptr<pom::SerialPort> port = pom::makeSystemSerialPort();
    pom::SystemClock clock;
    const pom::FormServices services{dialogs, *port, clock, pom::regionalFormatsFromEnvironment()};
    return pom::runApplication(services, pom::StartupOptions{executable});
}
