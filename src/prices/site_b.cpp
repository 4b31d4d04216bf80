// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Price site B: the province and city panels beneath site A's.
#include "prices/site_b.h"

#include "core/text.h"
#include "core/texts.h"

namespace brevane {
namespace {

constexpr std::size_t kExcerptLength = 68;

/// Site B's name for a slug of ours: the same, but for the one it spells otherwise.
std::u16string_view SiteBSlug(std::u16string_view slug, std::u16string_view ours,
                              std::u16string_view theirs) {
    return slug == ours ? theirs : slug;
}

/// Loads `address` in `browser` and shows the panel site B's cut gives in `label`.
void LoadPanel(RunContext& run, Control browser, std::u16string_view address, Control label) {
    const std::u16string page = run.pages.LoadPage(browser, address);
    MissedMarks missed;
    const auto panel = CutSiteBPanel(page, run.window.values.regionCatalogue, &missed);
    ShowPanel(run, label, panel, missed);
}

}  // namespace

std::optional<std::u16string> CutSiteBPanel(std::u16string_view pageText,
                                            std::u16string_view catalogue, MissedMarks* missed) {
    std::u16string excerpt = ExcerptAfter(pageText, texts::kSiteBMarker, kExcerptLength, missed);

    std::u16string deleted(texts::kSiteBUnit);
    deleted += catalogue;
    excerpt = text::DeleteChars(excerpt, deleted);
    excerpt = text::ReplaceAll(excerpt, texts::kGradeSign, texts::kGradeSignSpaced);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord1, texts::kSiteBPriceWordFill);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord2, texts::kSiteBPriceWordFill);

    const std::vector<std::u16string> pieces = text::Split(excerpt, texts::kMark0);
    if (pieces.size() < 2) {
        if (missed != nullptr) {
            missed->emplace_back(texts::kMark0);
        }
        return std::nullopt;
    }
    std::u16string panel = pieces[0];
    panel += texts::kFixed98Row;
    panel += texts::kCrLf;
    panel += texts::kDieselLineStart;
    panel += pieces[1];
    return panel;
}

std::u16string SiteBProvinceAddress(const RunContext& run) {
    std::u16string address(run.addresses.siteBRoot);
    address +=
        SiteBSlug(run.window.values.provinceSlug, texts::kShaanxiSlug, texts::kShaanxiSiteBSlug);
    address += texts::kPathSeparator;
    return address;
}

std::u16string SiteBCityAddress(const RunContext& run) {
    const WindowValues& values = run.window.values;
    // Requested even when no city is known: the address then ends in "/shi.html".
    std::u16string address = run.addresses.siteBRoot + values.provinceSlug;
    address += texts::kPathSeparator;
    address += SiteBSlug(values.citySlug, texts::kDongguanSlug, texts::kDongguanSiteBSlug);
    address += texts::kSiteBCityPageSuffix;
    return address;
}

void Load_YouJia(RunContext& run) {
    LoadPanel(run, Control::Web_YouJia, SiteBProvinceAddress(run), Control::Lab_YouJia);
    if (!run.window.visible(Control::Lab_YouJia) && !run.window.visible(Control::Lab_QiYouJiaGe)) {
        run.window.setVisible(Control::NetError, true);
    }
}

void Load_YouJia_2(RunContext& run) {
    LoadPanel(run, Control::Web_YouJia_2, SiteBCityAddress(run), Control::Lab_YouJia_2);
}

}  // namespace brevane
