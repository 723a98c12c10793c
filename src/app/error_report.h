#pragma once
// An error raised in a handler ends that handler where it was raised; what it
// had done stays done. The operator sees the message in the error box and the
// event loop goes on.
#include <functional>

#include "dialogs.h"

namespace pom {

void runReported(Dialogs& dialogs, const std::function<void()>& handler);

} // namespace pom
