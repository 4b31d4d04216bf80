// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The text a page's body shows, read from the page's HTML with the classic browser's rules.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace brevane {

/// The body text of the HTML document `utf8Html`, as a classic embedded browser gave it
/// for the body's innerText. Each rule with the reason for it:
/// - runs of white space collapse to one U+0020; such a space is dropped at the start of
///   a line and kept (once) before a `<br>`, a block boundary or the end of the text:
///   page markers end in that space. `&nbsp;` gives a U+0020 that never collapses.
/// - every table cell is followed by one space, the last cell of a row and empty cells
///   included, and every row by one line break: that browser copied tables so, and the
///   site B marker "(元/升) " CR LF is a row's last cell. The cell's space is no
///   collapsible white space: it absorbs white space at the end of the cell, stands at
///   the start of a line after a block in the cell, and drops white space at the start
///   of the next cell (as that browser dropped it at the start of any line).
/// - `<br>` gives one line break; a block, `<p>` included, asks for one line break before
///   and after its content and `<hr>` for two; adjacent requests merge into the largest,
///   a `<br>` does not merge into them, and requests at the start or end of the text are
///   dropped. A table is a block; a table `<caption>` adds no break: an embedded control
///   of that browser lays tables out so in the mode it runs by default.
/// - the end of the text is trimmed of the cell spaces and line breaks that a table or
///   block there would add: the browser's text ended with the last real character.
/// - hidden content (`display:none`, `visibility:hidden`, the `hidden` attribute) is
///   included and CSS `display` changes no break: that browser went by tag, not style.
/// - scripts, styles, `noscript` and the head give nothing, as in that browser.
/// - the text of `<button>` and of `<select>`'s options is included, the options run
///   together; an `<input>` gives nothing but keeps the spaces on both of its sides.
/// - where nothing tells how that browser read them, the plain reading: `<textarea>`,
///   templates, media, embedded objects and images give nothing; `pre`, `listing`,
///   `plaintext` and `xmp` keep their text as written; comments give nothing.
/// - every line break is CR LF.
/// Empty text comes from a document without a body (a frameset page, say), and from a
/// page beyond a limit: nesting deeper than kMaxNesting, more parser memory than a page
/// of its size may have (16 MiB and 128 bytes a byte of HTML, at most 1 GiB; real pages
/// need under a hundred bytes a byte), or more than five seconds of CPU time. Never
/// throws.
std::u16string PageTextFromHtml(std::string_view utf8Html);

/// A page whose shown content nests elements deeper than this below the body gives empty
/// text. The browser engine that loads our pages nests no deeper than this either (it puts
/// deeper elements beside their parent), so a page that reaches the reader deeper than this
/// was built to hurt, and the reader treats it like a page that runs out of time: no text,
/// rather than a guess at how some engine would have flattened it. The same bound holds
/// for the parser's own recursion, which can only end a parse.
inline constexpr std::size_t kMaxNesting = 512;

namespace detail {

// Several times what a 20 MB page costs; only pages built to make parsing quadratic need more.
inline constexpr std::chrono::milliseconds kParseBudget{5000};

/// How a read ended.
enum class ParseEnd {
    Complete,
    OutOfTime,    ///< the CPU budget ran out
    OutOfMemory,  ///< the parser wanted more memory than the page's size allows
    TooDeep,      ///< nesting past kMaxNesting, in the tree or in the parser's recursion
};

struct ParseReport {
    ParseEnd end = ParseEnd::Complete;
    std::size_t arenaBytes = 0;  ///< the parser's peak memory: everything it was given
};

/// PageTextFromHtml with its own bound on the CPU time the calling thread spends parsing,
/// and how the read ended.
std::u16string PageTextFromHtml(std::string_view utf8Html, std::chrono::milliseconds parseBudget,
                                ParseReport* report = nullptr);

}  // namespace detail

}  // namespace brevane
