// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The run's values as the price loaders find them after Shenzhen, Guangdong was located.
#pragma once

#include "core/window_model.h"
#include "location/region_catalogue.h"

namespace brevane::testing {

inline WindowValues ShenzhenFound() {
    return {.provinceName = u"广东",
            .provinceSlug = u"guangdong",
            .cityName = u"深圳",
            .citySlug = u"shenzhen",
            .regionCatalogue = RegionCatalogueText(),
            .lookupStage = 1};
}

}  // namespace brevane::testing
