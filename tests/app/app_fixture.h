#pragma once
// What every window test needs: a fresh working directory, where the window
// creates its log, and scripted stand-ins for the dialogs, the port and the clock.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include "fakes.h"
#include "form.h"

namespace pom::test {

class WorkDir {
public:
    WorkDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~WorkDir() { QDir::setCurrent(m_previous); }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

struct AppServices {
    FakeDialogs dialogs;
    FakeSerialPort port;
    FakeClock clock;

    FormServices form() { return FormServices{dialogs, port, clock, RegionalFormats{}}; }
};

// One test's world, made in init() and dropped in cleanup().
struct AppFixture {
    WorkDir dir;
    AppServices services;
};

} // namespace pom::test
