// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's caption.
#include "present/captions.h"

#include "core/text.h"
#include "core/texts.h"
#include "core/version.h"

namespace brevane {

std::u16string VersionCaption() {
    std::u16string caption(texts::kVersionCaptionPrefix);
    caption += text::FromInt(kVersionMajor);
    caption += u'.';
    caption += text::FromInt(kVersionMinor);
    caption += u'.';
    caption += text::FromInt(kVersionRevision);
    return caption;
}

std::u16string LocatingCaption() {
    return VersionCaption() + std::u16string(texts::kLocatingSuffix);
}

std::u16string PlaceCaption(const WindowValues& values) {
    std::u16string caption = VersionCaption();
    caption += texts::kPlaceCaptionOpen;
    caption += values.provinceName;
    if (!values.cityName.empty()) {
        caption += texts::kPlaceSeparator;
        caption += values.cityName;
    }
    caption += texts::kPlaceCaptionClose;
    return caption;
}

}  // namespace brevane
