// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Names the rows of a table-driven test after their `name` member.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace brevane::testing {

struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

}  // namespace brevane::testing
