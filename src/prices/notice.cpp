// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The latest price-adjustment notice, with its estimate for a 40-litre tank.
#include "prices/notice.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/text.h"
#include "core/texts.h"

namespace brevane {
namespace {

constexpr std::size_t kExcerptLength = 80;
constexpr double kTankLitres = 40;

/// The decimal number at the start of `text`: optional spaces, an optional minus
/// sign, then digits with at most one decimal point and at least one digit.
std::optional<double> LeadingAmount(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    std::string number;
    if (i < text.size() && text[i] == u'-') {
        number += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number += static_cast<char>(c);
    }
    if (!digits) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

/// Shortest decimal form with at most 15 significant digits, no trailing zeros, no point
/// when whole and never an exponent: 0.00004, not 4e-05. Locale-free. `value` is finite.
std::u16string FormatAmount(double value) {
    // One digit, the point, 14 digits, then the exponent: the 15 significant digits.
    char buffer[32];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string digits;
    for (const char c : scientific.substr(0, e)) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    if (digits == "0") {
        return u"0";
    }
    int exponent = 0;
    std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+'),
                    scientific.data() + scientific.size(), exponent);
    const int whole = exponent + 1;  // digits before the point
    std::string out = negative ? "-" : "";
    if (whole <= 0) {
        out += "0." + std::string(static_cast<std::size_t>(-whole), '0') + digits;
    } else if (static_cast<std::size_t>(whole) >= digits.size()) {
        out += digits + std::string(static_cast<std::size_t>(whole) - digits.size(), '0');
    } else {
        out += digits.insert(static_cast<std::size_t>(whole), 1, '.');
    }
    return std::u16string(out.begin(), out.end());
}

/// The notice with the estimate written after `word` when an amount can be read
/// after the notice's first "(".
std::u16string WithEstimate(std::u16string_view notice, std::u16string_view word,
                            std::u16string_view estimateOpen) {
    const std::size_t open = text::Find(notice, texts::kAmountOpen);
    const std::optional<double> amount = LeadingAmount(notice.substr(open));
    if (!amount || !std::isfinite(*amount * kTankLitres)) {
        return std::u16string(notice);
    }
    const std::vector<std::u16string> pieces = text::Split(notice, word);
    std::u16string caption = pieces[0];
    caption += estimateOpen;
    caption += FormatAmount(*amount * kTankLitres);
    caption += texts::kEstimateClose;
    caption += pieces.size() > 1 ? pieces[1] : std::u16string();
    return caption;
}

}  // namespace

std::u16string NoticeCaption(std::u16string_view pageText, MissedMarks* missed) {
    const auto miss = [missed](std::u16string_view mark) {
        if (missed != nullptr) {
            missed->emplace_back(mark);
        }
    };
    const std::u16string excerpt =
        ExcerptAfter(pageText, texts::kDieselEntry, kExcerptLength, missed);
    if (!text::Contains(excerpt, texts::kNoticeWord)) {
        miss(texts::kNoticeWord);
        return std::u16string(texts::kDisclaimer);
    }
    std::u16string notice(texts::kNoticeWord);
    notice += text::Split(excerpt, texts::kNoticeWord)[1];

    if (text::Contains(notice, texts::kFall)) {
        return WithEstimate(notice, texts::kFall, texts::kFallEstimateOpen);
    }
    if (text::Contains(notice, texts::kRise)) {
        return WithEstimate(notice, texts::kRise, texts::kRiseEstimateOpen);
    }
    return notice;
}

void Load_Replace(RunContext& run) {
    MissedMarks missed;
    const std::u16string caption =
        NoticeCaption(run.pages.ReadPageText(Control::Web_QiYouJiaGe), &missed);
    NoteMissed(run, Control::Lab_Replace, missed);
    run.window.setCaption(Control::Lab_Replace, caption);
}

}  // namespace brevane
