// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a page's HTML into its body text: gumbo parses, an explicit-stack walk feeds a
// small writer that applies the white-space and line-break rules.
#include "pagetext/page_text.h"

#include <gumbo.h>
#include <time.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace brevane {
namespace {

using std::chrono::nanoseconds;

// The parse is bounded in CPU time of its own thread, so that a busy machine does not make
// an ordinary large page run out of time.
nanoseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds{now.tv_sec} + nanoseconds{now.tv_nsec};
}

// Gumbo frees little before the end of a parse, so its memory comes from large chunks that
// are freed all at once: faster than malloc for its millions of small pieces, and no need
// for gumbo_destroy_output, which recurses once per nesting level. The allocator also ends
// a parse that runs out of time, memory or stack, by jumping back out of gumbo; gumbo keeps
// no state outside what it allocated here.
class ParseArena {
public:
    ParseArena(nanoseconds deadline, std::size_t byteLimit)
        : m_deadline(deadline), m_byteLimit(byteLimit) {
        m_options = kGumboDefaultOptions;
        m_options.allocator = &Allocate;
        m_options.deallocator = &Deallocate;
        m_options.userdata = this;
        m_options.max_errors = 0;  // nobody reads them
    }
    ParseArena(const ParseArena&) = delete;
    ParseArena& operator=(const ParseArena&) = delete;
    ~ParseArena() {
        while (m_chunks != nullptr) {
            std::free(std::exchange(m_chunks, m_chunks->previous));
        }
    }

    /// The parsed document, or null when parsing ran out of time, memory or stack.
    GumboOutput* Parse(std::string_view html) {
        m_stackBase = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        // Nothing with a destructor lives between here and the jump back.
        if (setjmp(m_escape) != 0) {
            return nullptr;
        }
        return gumbo_parse_with_options(&m_options, html.data(), html.size());
    }

    detail::ParseEnd end() const { return m_end; }
    std::size_t bytes() const { return m_bytes; }

private:
    struct alignas(std::max_align_t) Chunk {
        Chunk* previous;
    };
    static constexpr std::size_t kAlignment = alignof(std::max_align_t);
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    // Gumbo's regular work needs under 5 KiB of stack below the call (measured over the fuzz
    // corpus). Its one recursion, freeing a subtree (which it does during the parse when a
    // frameset replaces the body), takes 32 bytes a level and calls the deallocator on every
    // level before going deeper, so this bound ends it within kMaxNesting levels (near 400).
    static constexpr std::uintptr_t kStackBudget = std::uintptr_t{16} * 1024;

    [[noreturn]] void Escape(detail::ParseEnd end) {
        m_end = end;
        std::longjmp(m_escape, 1);
    }

    void CheckStack() {
        // The stack grows down on every platform this builds for.
        const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        if (m_stackBase - here > kStackBudget) {
            Escape(detail::ParseEnd::TooDeep);
        }
    }

    static void* Allocate(void* userdata, std::size_t size) {
        auto* arena = static_cast<ParseArena*>(userdata);
        arena->CheckStack();
        // Reading the clock on every call would cost more than the parse.
        if (++arena->m_allocations % 1024 == 0 && ThreadCpuTime() > arena->m_deadline) {
            arena->Escape(detail::ParseEnd::OutOfTime);
        }
        if (size > arena->m_byteLimit) {
            arena->Escape(detail::ParseEnd::OutOfMemory);  // also keeps the rounding in range
        }
        size = (size + kAlignment - 1) & ~(kAlignment - 1);
        if (size <= static_cast<std::size_t>(arena->m_limit - arena->m_cursor)) {
            return std::exchange(arena->m_cursor, arena->m_cursor + size);
        }
        if (size > kChunkSize / 4) {
            return arena->NewChunk(size);  // a chunk of its own; the current one goes on
        }
        arena->m_cursor = arena->NewChunk(kChunkSize - sizeof(Chunk));
        arena->m_limit = arena->m_cursor + kChunkSize - sizeof(Chunk);
        return std::exchange(arena->m_cursor, arena->m_cursor + size);
    }

    static void Deallocate(void* userdata, void*) {
        static_cast<ParseArena*>(userdata)->CheckStack();
    }

    std::byte* NewChunk(std::size_t payload) {
        const std::size_t bytes = sizeof(Chunk) + payload;
        if (bytes > m_byteLimit - m_bytes) {
            Escape(detail::ParseEnd::OutOfMemory);
        }
        auto* chunk = static_cast<Chunk*>(std::malloc(bytes));
        if (chunk == nullptr) {
            Escape(detail::ParseEnd::OutOfMemory);
        }
        m_bytes += bytes;
        chunk->previous = m_chunks;
        m_chunks = chunk;
        return reinterpret_cast<std::byte*>(chunk + 1);
    }

    GumboOptions m_options;
    Chunk* m_chunks = nullptr;
    std::byte* m_cursor = nullptr;
    std::byte* m_limit = nullptr;
    nanoseconds m_deadline;
    std::size_t m_byteLimit;
    std::size_t m_bytes = 0;
    unsigned long m_allocations = 0;
    std::uintptr_t m_stackBase = 0;
    detail::ParseEnd m_end = detail::ParseEnd::Complete;
    std::jmp_buf m_escape;
};

// Collects the text and applies the line rules. A white-space run only marks a pending
// space, and a block boundary only a pending number of line breaks; both are written when
// real text follows. A pending space meeting a line break is written before the break:
// the classic browser kept the space at the end of a line, and page markers rely on it.
// A space that follows a break request would open the next line and is dropped. Cell
// spaces and the breaks written with them are remembered while nothing else follows, so
// that the end of the text can shed them.
class TextWriter {
public:
    void Text(std::string_view utf8) {
        Decode(utf8, [this](char32_t c) {
            if (IsCollapsible(c)) {
                Space();
            } else {
                Flush();
                Put(c == 0xA0 ? U' ' : c);
            }
        });
    }

    void PreformattedText(std::string_view utf8) {
        if (utf8.empty()) {
            return;
        }
        Flush();
        bool afterCr = false;
        Decode(utf8, [this, &afterCr](char32_t c) {
            if (c == U'\n' && afterCr) {
                afterCr = false;  // the CR already gave this break
                return;
            }
            afterCr = c == U'\r';
            if (c == U'\r' || c == U'\n') {
                m_out += u"\r\n";
            } else {
                Put(c == 0xA0 ? U' ' : c);
            }
        });
    }

    void LineBreak() {
        Flush();
        m_out += u"\r\n";
    }

    void RequestBreaks(int count) {
        if (count == 0) {
            return;
        }
        WritePendingSpace();
        if (!m_out.empty()) {
            m_breaks = std::max(m_breaks, count);
        }
    }

    /// The space after a table cell: it takes up white space at the end of the cell and
    /// goes after any break that a block in the cell asked for.
    void CellSpace() {
        m_space = false;
        if (m_separatorsFrom == std::u16string::npos) {
            m_separatorsFrom = m_out.size();
        }
        for (; m_breaks > 0; --m_breaks) {
            m_out += u"\r\n";
        }
        m_out += u' ';
        m_afterCellSpace = true;
    }

    /// Something that shows no text but stands between the white space on its two sides,
    /// so that neither collapses into the other.
    void Gap() {
        WritePendingSpace();
        m_afterCellSpace = false;
    }

    std::u16string Finish() {
        WritePendingSpace();
        if (m_separatorsFrom != std::u16string::npos) {
            m_out.erase(m_separatorsFrom);
        }
        return std::move(m_out);
    }

private:
    static bool IsCollapsible(char32_t c) {
        return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f';
    }

    bool AtLineStart() const { return m_out.empty() || m_out.back() == u'\n'; }

    /// A white-space run.
    void Space() {
        if (m_breaks == 0 && !AtLineStart() && !m_afterCellSpace) {
            m_space = true;
        }
    }

    void WritePendingSpace() {
        if (m_space) {
            m_out += u' ';
            m_space = false;
            m_separatorsFrom = std::u16string::npos;
        }
    }

    /// Makes way for real text: what is pending is written and is no longer a separator.
    void Flush() {
        // A pending space and pending breaks never coexist: RequestBreaks writes the space.
        for (; m_breaks > 0; --m_breaks) {
            m_out += u"\r\n";
        }
        WritePendingSpace();
        m_separatorsFrom = std::u16string::npos;
        m_afterCellSpace = false;
    }

    void Put(char32_t c) {
        if (c < 0x10000) {
            m_out += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            m_out += static_cast<char16_t>(0xD800 + (c >> 10));
            m_out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }

    // UTF-8 to code points by the WHATWG decoder: each invalid or truncated sequence
    // gives one U+FFFD, and the byte that broke a sequence starts the next one.
    template <typename Sink>
    static void Decode(std::string_view utf8, Sink&& sink) {
        char32_t c = 0;
        int needed = 0;
        int seen = 0;
        unsigned char lower = 0x80;
        unsigned char upper = 0xBF;
        for (std::size_t i = 0; i < utf8.size();) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            if (needed == 0) {
                ++i;
                if (byte < 0x80) {
                    sink(byte);
                } else if (byte >= 0xC2 && byte <= 0xDF) {
                    needed = 1, c = byte & 0x1F;
                } else if (byte >= 0xE0 && byte <= 0xEF) {
                    lower = byte == 0xE0 ? 0xA0 : 0x80;  // overlong
                    upper = byte == 0xED ? 0x9F : 0xBF;  // surrogates
                    needed = 2, c = byte & 0x0F;
                } else if (byte >= 0xF0 && byte <= 0xF4) {
                    lower = byte == 0xF0 ? 0x90 : 0x80;  // overlong
                    upper = byte == 0xF4 ? 0x8F : 0xBF;  // past U+10FFFF
                    needed = 3, c = byte & 0x07;
                } else {
                    sink(0xFFFD);
                }
                continue;
            }
            if (byte < lower || byte > upper) {
                needed = seen = 0, lower = 0x80, upper = 0xBF;
                sink(0xFFFD);
                continue;  // the same byte again, as a new start
            }
            ++i;
            lower = 0x80, upper = 0xBF;
            c = (c << 6) | (byte & 0x3F);
            if (++seen == needed) {
                sink(c);
                needed = seen = 0;
            }
        }
        if (needed != 0) {
            sink(0xFFFD);
        }
    }

    std::u16string m_out;
    std::size_t m_separatorsFrom = std::u16string::npos;  ///< start of the trailing separators
    int m_breaks = 0;
    bool m_space = false;
    bool m_afterCellSpace = false;
};

// What an element contributes around its content.
enum class Role {
    Inline,
    Skip,          // shows nothing, children included
    LineBreak,     // <br>
    Gap,           // <input>: nothing, but white space on each side stays apart
    Block,         // one line break before and after
    Rule,          // <hr>: two line breaks before and after
    Preformatted,  // a block whose text keeps its white space and line breaks
    Table,         // a block whose own text children are layout white space
    TableSection,  // thead, tbody, tfoot, colgroup: layout white space only
    Row,           // layout white space only; a line break after its cells
    Cell,          // a space after its content
    Choices,       // select, optgroup: the options' text runs together
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Whether an element has this tag name, whether or not this version of gumbo knows the
// tag: the tags it does not know arrive as GUMBO_TAG_UNKNOWN with their source text.
bool HasTagName(const GumboElement& element, std::string_view name) {
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        return gumbo_normalized_tagname(element.tag) == name;
    }
    GumboStringPiece tag = element.original_tag;
    gumbo_tag_from_original_text(&tag);
    return tag.data != nullptr && EqualsIgnoringCase({tag.data, tag.length}, name);
}

// By tag alone: neither attributes nor styles change what an element shows.
Role RoleOf(const GumboElement& element) {
    // The tag lists read better packed.
    // clang-format off
    switch (element.tag) {
        case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE:
        case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_NOEMBED:
        case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_DATALIST: case GUMBO_TAG_RP: case GUMBO_TAG_AREA:
        case GUMBO_TAG_BASE: case GUMBO_TAG_BASEFONT: case GUMBO_TAG_LINK: case GUMBO_TAG_META:
        case GUMBO_TAG_PARAM: case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_VIDEO: case GUMBO_TAG_AUDIO:
        case GUMBO_TAG_CANVAS: case GUMBO_TAG_IFRAME: case GUMBO_TAG_IMG: case GUMBO_TAG_OBJECT:
        case GUMBO_TAG_EMBED:
            return Role::Skip;
        case GUMBO_TAG_BR:
            return Role::LineBreak;
        case GUMBO_TAG_INPUT:
            return Role::Gap;
        case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE:
        case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_CENTER: case GUMBO_TAG_DD:
        case GUMBO_TAG_DETAILS: case GUMBO_TAG_DIR: case GUMBO_TAG_DIV: case GUMBO_TAG_DL:
        case GUMBO_TAG_DT: case GUMBO_TAG_FIELDSET: case GUMBO_TAG_FIGCAPTION:
        case GUMBO_TAG_FIGURE: case GUMBO_TAG_FOOTER: case GUMBO_TAG_FORM: case GUMBO_TAG_H1:
        case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
        case GUMBO_TAG_H6: case GUMBO_TAG_HEADER: case GUMBO_TAG_HGROUP: case GUMBO_TAG_LEGEND:
        case GUMBO_TAG_LI: case GUMBO_TAG_MAIN: case GUMBO_TAG_MENU: case GUMBO_TAG_NAV:
        case GUMBO_TAG_OL: case GUMBO_TAG_P: case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY:
        case GUMBO_TAG_UL:
            return Role::Block;
        case GUMBO_TAG_HR:
            return Role::Rule;
        // A plaintext element is laid out as a block like the other three.
        case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_PLAINTEXT: case GUMBO_TAG_XMP:
            return Role::Preformatted;
        case GUMBO_TAG_TABLE:
            return Role::Table;
        case GUMBO_TAG_THEAD: case GUMBO_TAG_TBODY: case GUMBO_TAG_TFOOT: case GUMBO_TAG_COLGROUP:
            return Role::TableSection;
        case GUMBO_TAG_TR:
            return Role::Row;
        case GUMBO_TAG_TD: case GUMBO_TAG_TH:
            return Role::Cell;
        case GUMBO_TAG_SELECT: case GUMBO_TAG_OPTGROUP:
            return Role::Choices;
        // Every other tag is inline, <dialog> a block. Newer versions of gumbo know tags
        // the older ones do not (dialog, picture, search), so these go by name.
        default:
            return HasTagName(element, "dialog") ? Role::Block : Role::Inline;
    }
    // clang-format on
}

int BreaksBefore(Role role) {
    switch (role) {
        case Role::Block:
        case Role::Preformatted:
        case Role::Table:
            return 1;
        case Role::Rule:
            return 2;
        default:
            return 0;
    }
}

int BreaksAfter(Role role) {
    return role == Role::Row ? 1 : BreaksBefore(role);
}

bool HoldsLayoutWhiteSpaceOnly(Role role) {
    return role == Role::Table || role == Role::TableSection || role == Role::Row ||
           role == Role::Choices;
}

const GumboNode* FindBody(const GumboOutput& output) {
    if (output.root == nullptr || output.root->type != GUMBO_NODE_ELEMENT) {
        return nullptr;
    }
    const GumboVector& children = output.root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY) {
            return child;
        }
    }
    return nullptr;
}

// Document order with an explicit stack, which kMaxNesting keeps short. Nothing when the
// shown content nests deeper than that.
std::optional<std::u16string> BodyText(const GumboNode& body) {
    struct Frame {
        const GumboVector* children;
        unsigned next;
        Role role;
    };
    TextWriter writer;
    std::vector<Frame> stack{{&body.v.element.children, 0, Role::Inline}};
    int preformatted = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.children->length) {
            if (frame.role == Role::Preformatted) {
                --preformatted;
            }
            if (frame.role == Role::Cell) {
                writer.CellSpace();
            }
            writer.RequestBreaks(BreaksAfter(frame.role));
            stack.pop_back();
            continue;
        }
        const auto& node = *static_cast<const GumboNode*>(frame.children->data[frame.next++]);
        switch (node.type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:
                if (HoldsLayoutWhiteSpaceOnly(frame.role)) {
                    break;
                }
                if (preformatted > 0) {
                    writer.PreformattedText(node.v.text.text);
                } else {
                    writer.Text(node.v.text.text);
                }
                break;
            case GUMBO_NODE_ELEMENT: {
                const Role role = RoleOf(node.v.element);
                if (role == Role::Skip) {
                    break;
                }
                if (role == Role::LineBreak) {
                    writer.LineBreak();
                    break;
                }
                if (role == Role::Gap) {
                    writer.Gap();
                    break;
                }
                if (stack.size() > kMaxNesting) {
                    return std::nullopt;
                }
                if (role == Role::Preformatted) {
                    ++preformatted;
                }
                writer.RequestBreaks(BreaksBefore(role));
                stack.push_back({&node.v.element.children, 0, role});  // ends `frame`
                break;
            }
            default:  // comments, templates
                break;
        }
    }
    return writer.Finish();
}

/// The most memory the parser may have for a page of `htmlBytes`: generous for any real
/// page (those need under a hundred bytes a byte), with a fixed ceiling.
std::size_t ArenaByteLimit(std::size_t htmlBytes) {
    constexpr std::size_t kFloor = std::size_t{16} << 20;
    constexpr std::size_t kPerByte = 128;
    constexpr std::size_t kCeiling = std::size_t{1} << 30;
    return htmlBytes >= (kCeiling - kFloor) / kPerByte ? kCeiling : kFloor + kPerByte * htmlBytes;
}

}  // namespace

std::u16string PageTextFromHtml(std::string_view utf8Html) {
    return detail::PageTextFromHtml(utf8Html, detail::kParseBudget);
}

std::u16string detail::PageTextFromHtml(std::string_view utf8Html,
                                        std::chrono::milliseconds parseBudget,
                                        ParseReport* report) {
    ParseReport ignored;
    ParseReport& out = report != nullptr ? *report : ignored;
    out = {};
    try {
        ParseArena arena(ThreadCpuTime() + parseBudget, ArenaByteLimit(utf8Html.size()));
        const GumboOutput* output = arena.Parse(utf8Html);
        out.end = arena.end();
        out.arenaBytes = arena.bytes();
        const GumboNode* body = output != nullptr ? FindBody(*output) : nullptr;
        if (body == nullptr) {
            return {};
        }
        std::optional<std::u16string> text = BodyText(*body);
        if (!text) {
            out.end = ParseEnd::TooDeep;
            return {};
        }
        return std::move(*text);
    } catch (const std::bad_alloc&) {
        out.end = ParseEnd::OutOfMemory;
        return {};
    }
}

}  // namespace brevane
