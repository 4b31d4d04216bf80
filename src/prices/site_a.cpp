// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Price site A: the province and city panels of columns I and II.
#include "prices/site_a.h"

#include "core/text.h"
#include "core/texts.h"

namespace brevane {
namespace {

constexpr std::size_t kExcerptLength = 60;

/// Splits `text` at the first `mark` and joins the first two pieces again with a
/// line break and the line's start; anything from a second `mark` on is dropped.
std::optional<std::u16string> BreakLineAt(std::u16string_view text, std::u16string_view mark,
                                          std::u16string_view lineStart, MissedMarks* missed) {
    const std::vector<std::u16string> pieces = text::Split(text, mark);
    if (pieces.size() < 2) {
        if (missed != nullptr) {
            missed->emplace_back(mark);
        }
        return std::nullopt;
    }
    std::u16string joined = pieces[0];
    joined += texts::kCrLf;
    joined += lineStart;
    joined += pieces[1];
    return joined;
}

/// Shows in `label` the panel site A's cut gives for the page that names `placeName`.
void ShowCut(RunContext& run, std::u16string_view page, std::u16string_view placeName,
             Control label) {
    MissedMarks missed;
    const auto panel = CutSiteAPanel(page, placeName, run.window.values.regionCatalogue, &missed);
    ShowPanel(run, label, panel, missed);
}

}  // namespace

std::optional<std::u16string> CutSiteAPanel(std::u16string_view pageText,
                                            std::u16string_view placeName,
                                            std::u16string_view catalogue, MissedMarks* missed) {
    std::u16string marker(texts::kSiteASourceOpen);
    marker += placeName;
    marker += texts::kSiteASourceClose;
    std::u16string excerpt = ExcerptAfter(pageText, marker, kExcerptLength, missed);

    excerpt = text::DeleteChars(excerpt, catalogue);
    excerpt = text::ReplaceAll(excerpt, texts::kGradeSign, texts::kGradeSignSpaced);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord1, texts::kSiteAPriceWordFill);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord2, texts::kSiteAPriceWordFill);
    excerpt = text::ReplaceAll(excerpt, texts::kFuelWordEnd, texts::kFuelWordEndSpaced);

    // Each split searches the whole text the previous one rebuilt.
    auto lines = BreakLineAt(excerpt, texts::kMark95, texts::kMark95, missed);
    if (lines) {
        lines = BreakLineAt(*lines, texts::kMark98, texts::kMark98, missed);
    }
    if (lines) {
        lines = BreakLineAt(*lines, texts::kMark0, texts::kDieselLineStart, missed);
    }
    return lines;
}

std::u16string SiteAProvinceAddress(const RunContext& run) {
    return run.addresses.siteARoot + run.window.values.provinceSlug +
           std::u16string(texts::kSiteAPageSuffix);
}

std::optional<std::u16string> SiteACityAddress(const RunContext& run) {
    const WindowValues& values = run.window.values;
    if (values.citySlug.empty()) {
        return std::nullopt;
    }
    std::u16string address = run.addresses.siteARoot + values.provinceSlug;
    address += texts::kPathSeparator;
    address += values.citySlug;
    address += texts::kSiteAPageSuffix;
    return address;
}

void Load_QiYouJiaGe(RunContext& run) {
    ShowCut(run, run.pages.LoadPage(Control::Web_QiYouJiaGe, SiteAProvinceAddress(run)),
            run.window.values.provinceName, Control::Lab_QiYouJiaGe);
}

void Load_QiYouJiaGe_2(RunContext& run) {
    const std::optional<std::u16string> address = SiteACityAddress(run);
    if (!address) {
        run.window.setVisible(Control::Fr_QiYouJiaGe_2, false);
    }
    const std::u16string page = run.pages.LoadPage(Control::Web_QiYouJiaGe_2, address);
    ShowCut(run, page, run.window.values.cityName, Control::Lab_QiYouJiaGe_2);
}

}  // namespace brevane
