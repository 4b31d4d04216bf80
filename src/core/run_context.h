// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Everything a step of the run works through: the window model, the ports and the
// addresses.
#pragma once

#include "core/ports.h"
#include "core/web_addresses.h"
#include "core/window_model.h"

namespace brevane {

struct RunContext {
    WindowModel& window;
    PagePort& pages;
    ConfirmPort& confirm;
    ShellPort& shell;
    ClockPort& clock;
    RunLogPort& log;
    WebAddresses addresses;
};

}  // namespace brevane
