#pragma once
// A test's world with the window in it: made in init(), dropped in cleanup().
#include "app_fixture.h"
#include "form.h"

namespace pom::test {

struct WindowFixture {
    AppFixture fx;  // first in, last out: the window creates its log in fx's directory
    TForm1 form{fx.services.form()};

    FakeDialogs& dialogs() { return fx.services.dialogs; }
};

} // namespace pom::test
