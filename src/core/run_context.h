// Everything a step of the run works through: the window model, the ports and the
// addresses.
#pragma once

#include "app/ports.h"
#include "app/web_addresses.h"
#include "app/window_model.h"

namespace brevane {

struct RunContext {
    WindowModel& window;
    PagePort& pages;
    ConfirmPort& confirm;
    ShellPort& shell;
    ClockPort& clock;
    WebAddresses addresses;
};

}  // namespace brevane
