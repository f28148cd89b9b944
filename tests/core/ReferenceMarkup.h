#pragma once
// The plain reference of what holds no tags: comments, processing instructions, the document type
// declaration and CDATA sections, found left to right as a reader would (every '<' in turn, each
// kind's end by its terminator or the text's end). Shared by the unit tests and the fuzzers, and
// written independently of the scanner core.

#include <string>
#include <string_view>
#include <vector>

struct ReferenceGap {
    size_t start = 0, end = 0;
    bool cdata = false;
    size_t innerStart = 0, innerEnd = 0;  // a CDATA section's text
};

inline std::vector<ReferenceGap> referenceGaps(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    const auto upTo = [&](std::string_view close, size_t from) {
        const size_t found = text.find(close, from);
        return found == std::string_view::npos ? text.size() : found + close.size();
    };
    std::vector<ReferenceGap> gaps;
    for (size_t i = 0; i < text.size();) {
        ReferenceGap gap{i, 0, false, 0, 0};
        if (text.compare(i, 2, "<?") == 0 && i + 1 < text.size()) {
            gap.end = upTo("?>", i + 2);
        } else if (text.compare(i, 4, "<!--") == 0) {
            gap.end = upTo("-->", i + 4);
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            gap = {i, upTo("]]>", i + 9), true, i + 9, 0};
            gap.innerEnd = text.find("]]>", i + 9) == std::string_view::npos ? text.size() : gap.end - 3;
        } else if (text.compare(i, 9, "<!DOCTYPE") == 0) {
            // "<!DOCTYPE" [^[>]* then '>', or '[' up to the first ']' followed by white space and '>'.
            size_t at = i + 9;
            while (at < text.size() && text[at] != '[' && text[at] != '>') ++at;
            gap.end = at < text.size() && text[at] == '>' ? at + 1 : text.size();
            for (size_t close = text.find(']', at + 1);
                 at < text.size() && text[at] == '[' && close != std::string_view::npos;
                 close = text.find(']', close + 1)) {
                size_t after = close + 1;
                while (after < text.size() && isSpace(text[after])) ++after;
                if (after < text.size() && text[after] == '>') {
                    gap.end = after + 1;
                    break;
                }
            }
        } else {
            ++i;
            continue;
        }
        gaps.push_back(gap);
        i = gap.end;
    }
    return gaps;
}

// The text as the reference searches see it: no '<' or '>' inside a gap.
inline std::string maskedGaps(std::string_view text) {
    std::string out(text);
    for (const ReferenceGap& gap : referenceGaps(text)) {
        for (size_t i = gap.start; i < gap.end; ++i) {
            if (out[i] == '<' || out[i] == '>') out[i] = '\x01';
        }
    }
    return out;
}

// Test data written compactly: the pieces of `list` between the '|'s.
inline std::vector<std::string> pieces(std::string_view list) {
    std::vector<std::string> out;
    for (size_t start = 0;;) {
        const size_t bar = list.find('|', start);
        out.emplace_back(list.substr(start, bar - start));
        if (bar == std::string_view::npos) return out;
        start = bar + 1;
    }
}
