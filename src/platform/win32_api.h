#pragma once
// <windows.h> without its min and max macros, which would break
// std::numeric_limits<T>::max(). Include it after our own headers: it also
// defines EV_TXEMPTY as a macro, which serial_port.h declares as a constant.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
