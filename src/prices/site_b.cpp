// Price site B: the province and city panels beneath site A's.
#include "prices/site_b.h"

#include "app/text.h"
#include "app/texts.h"
#include "prices/panel.h"

namespace brevane {
namespace {

constexpr std::size_t kExcerptLength = 68;

/// Site B's own slug for a province or city whose slug differs there; the run's
/// value is put back once the page has been cut.
class SlugSwap {
public:
    SlugSwap(std::u16string& slug, std::u16string_view ours, std::u16string_view theirs)
        : m_slug(slug), m_ours(ours), m_theirs(theirs) {
        if (m_slug == m_ours) {
            m_slug = m_theirs;
        }
    }
    ~SlugSwap() {
        if (m_slug == m_theirs) {
            m_slug = m_ours;
        }
    }
    SlugSwap(const SlugSwap&) = delete;
    SlugSwap& operator=(const SlugSwap&) = delete;

private:
    std::u16string& m_slug;
    std::u16string_view m_ours;
    std::u16string_view m_theirs;
};

void ShowPanel(RunContext& run, Control label, std::u16string_view page) {
    if (auto panel = CutSiteBPanel(page, run.window.values.regionCatalogue)) {
        run.window.setCaption(label, *panel);
    }
    HideUnlessLoaded(run.window, label);
}

}  // namespace

std::optional<std::u16string> CutSiteBPanel(std::u16string_view pageText,
                                            std::u16string_view catalogue) {
    // Without the marker the excerpt starts where it would have started at position 0.
    const std::size_t p = text::Find(pageText, texts::kSiteBMarker);
    std::u16string excerpt = text::Mid(pageText, p + texts::kSiteBMarker.size(), kExcerptLength);

    std::u16string deleted(texts::kSiteBUnit);
    deleted += catalogue;
    excerpt = text::DeleteChars(excerpt, deleted);
    excerpt = text::ReplaceAll(excerpt, texts::kGradeSign, texts::kGradeSignSpaced);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord1, texts::kSiteBPriceWordFill);
    excerpt = text::ReplaceAll(excerpt, texts::kPriceWord2, texts::kSiteBPriceWordFill);

    const std::vector<std::u16string> pieces = text::Split(excerpt, texts::kMark0);
    if (pieces.size() < 2) {
        return std::nullopt;
    }
    std::u16string panel = pieces[0];
    panel += texts::kFixed98Row;
    panel += texts::kCrLf;
    panel += texts::kDieselLineStart;
    panel += pieces[1];
    return panel;
}

void Load_YouJia(RunContext& run) {
    WindowValues& values = run.window.values;
    {
        const SlugSwap swap(values.provinceSlug, texts::kShaanxiSlug, texts::kShaanxiSiteBSlug);
        std::u16string address = run.addresses.siteBRoot + values.provinceSlug;
        address += texts::kPathSeparator;
        ShowPanel(run, Control::Lab_YouJia, run.pages.LoadPage(Control::Web_YouJia, address));
    }
    if (!run.window.visible(Control::Lab_YouJia) && !run.window.visible(Control::Lab_QiYouJiaGe)) {
        run.window.setVisible(Control::NetError, true);
    }
}

void Load_YouJia_2(RunContext& run) {
    WindowValues& values = run.window.values;
    const SlugSwap swap(values.citySlug, texts::kDongguanSlug, texts::kDongguanSiteBSlug);
    // Requested even when no city is known: the address then ends in "/shi.html".
    std::u16string address = run.addresses.siteBRoot + values.provinceSlug;
    address += texts::kPathSeparator;
    address += values.citySlug;
    address += texts::kSiteBCityPageSuffix;
    ShowPanel(run, Control::Lab_YouJia_2, run.pages.LoadPage(Control::Web_YouJia_2, address));
}

}  // namespace brevane
