// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The readable-colour rule.
#include "look/colour.h"

#include <algorithm>
#include <cmath>

namespace brevane::look {
namespace {

double RelativeLuminance(Rgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb ink, Rgb background) {
    const Rgb extreme =
        ContrastRatio(kWhite, background) >= ContrastRatio(kBlack, background) ? kWhite : kBlack;
    constexpr int kSteps = 16;
    Rgb mixed = ink;
    for (int step = 1; step <= kSteps && ContrastRatio(mixed, background) < kReadableContrast;
         ++step) {
        const auto mix = [step](int from, int to) { return from + (to - from) * step / kSteps; };
        mixed = Rgb{mix(ink.red, extreme.red), mix(ink.green, extreme.green),
                    mix(ink.blue, extreme.blue)};
    }
    return mixed;
}

Rgb LabelInk(std::optional<Rgb> fixed, Rgb system, Rgb background) {
    if (!fixed) {
        return system;
    }
    if (ContrastRatio(*fixed, background) >= kReadableContrast) {
        return *fixed;
    }
    return ReadableOn(system, background);
}

}  // namespace brevane::look
