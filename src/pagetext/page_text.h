// The text a page's body shows, read from the page's HTML with the classic browser's rules.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace brevane {

/// The body text of the HTML document `utf8Html`, as a classic embedded browser gave it
/// for the body's innerText:
/// - comments and elements that show no text (scripts, styles, form fields, media,
///   `hidden` elements, elements styled `display:none`) give nothing;
/// - runs of white space collapse to one U+0020; such a space is dropped at the start of
///   a line and kept at its end (before a `<br>`, a block boundary or the end of the
///   text); `&nbsp;` gives a U+0020 that never collapses;
/// - `<br>` gives one line break; a block asks for one line break before and after its
///   content and `<p>` for two; adjacent requests merge into the largest, and requests
///   at the start or end of the text are dropped;
/// - table cells are separated by one space and rows by one line break;
/// - `pre`, `listing`, `plaintext` and `xmp` keep their text as written;
/// - every line break is CR LF.
/// A document without a body (a frameset page, say) gives empty text, and so does one
/// that cannot be parsed within five seconds of CPU time (a hostile page nesting elements so deep
/// that parsing becomes quadratic). Never throws.
std::u16string PageTextFromHtml(std::string_view utf8Html);

namespace detail {

/// PageTextFromHtml with its own bound on the CPU time the calling thread spends parsing.
std::u16string PageTextFromHtml(std::string_view utf8Html, std::chrono::milliseconds parseBudget);

}  // namespace detail

}  // namespace brevane
