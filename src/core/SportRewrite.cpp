#include "core/SportRewrite.h"

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/SportRewriteScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::string escapeText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string rewriteSportText(std::string_view text, std::string_view sportKey) {
    // The key would go in as single bytes among two-byte units: refused rather than written mixed.
    if (startsWithUtf16Mark(text)) throw GpxFailure(kMessageUtf16NotRewritten);
    const TagSpan start = findTrackOrRouteStart(text);
    if (!start.found) throw GpxFailure(kMessageNoTrackOrRoute);
    const std::string_view tagName = text.substr(start.nameBegin, start.nameEnd - start.nameBegin);
    const std::size_t colon = tagName.find(':');
    const std::string_view prefix =
        colon == std::string_view::npos ? std::string_view() : tagName.substr(0, colon + 1);
    const std::size_t bodyStart = start.end;

    const TagSpan end = findEndTag(text, bodyStart, tagName);
    if (!end.found) throw GpxFailure(kMessageIncomplete);
    const std::size_t bodyEnd = end.begin;
    const std::string_view body = text.substr(bodyStart, bodyEnd - bodyStart);

    const std::string typeName = std::string(prefix) + "type";
    const std::string element = "<" + typeName + ">" + escapeText(sportKey) + "</" + typeName + ">";
    std::string content;
    content.reserve(text.size() + element.size() + 8);
    content.append(text.substr(0, bodyStart));
    const TagSpan type = findOwnTypeElement(body, prefix);
    if (type.found) {
        content.append(body.substr(0, type.begin));
        content.append(element);
        content.append(body.substr(type.end));
    } else {
        content.append("\r\n    ");
        content.append(element);
        content.append(body);
    }
    content.append(text.substr(bodyEnd));
    return content;
}

namespace {

const char* rewriteErrorMessage(RewriteError error) {
    switch (error) {
        case RewriteError::busy:
            return kMessageFileBusy;
        case RewriteError::hardLinks:
            return kMessageHardLinks;
        case RewriteError::changedMeanwhile:
            return kMessageChangedMeanwhile;
        case RewriteError::temporaryNotWritten:
            return kMessageTempNotWritten;
        case RewriteError::notReplaced:
            return kMessageNotReplaced;
        default:
            return kMessageCannotRead;
    }
}

}  // namespace

bool rewriteSport(const RouteInfo& route, std::string_view sportKey, std::string& message) {
    std::string before;
    std::string after;
    return rewriteSport(route.filePath, sportKey, message, before, after);
}

bool rewriteSport(const fs::path& file, std::string_view sportKey, std::string& message, std::string& before,
                  std::string& after) {
    try {
        // Locked from the read to the replace; another program's change in between is not lost
        // but refused.
        FileRewrite rewrite;
        before.clear();
        after.clear();
        RewriteError error = rewrite.open(file, before);
        if (error == RewriteError::none) {
            after = rewriteSportText(before, sportKey);
            error = rewrite.replaceWith(after);
        }
        if (error == RewriteError::none) return true;
        throw GpxFailure(rewriteErrorMessage(error));
    } catch (const std::exception& failure) {
        message = failure.what();
        return false;
    }
}
