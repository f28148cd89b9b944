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

bool rewriteSport(const RouteInfo& route, std::string_view sportKey, std::string& message) {
    try {
        const fs::path& filePath = route.filePath;
        const std::string content = rewriteSportText(readFileText(filePath), sportKey);

        fs::path temporary = filePath;
        temporary += ".tirn.tmp";
        if (!writeFileDurably(temporary, content)) {
            // A half-written temporary file is of no use to anyone; anything else of that name
            // (a folder, say) is not ours to remove.
            std::error_code ignored;
            if (fs::symlink_status(temporary, ignored).type() == fs::file_type::regular) {
                fs::remove(temporary, ignored);
            }
            throw GpxFailure(kMessageTempNotWritten);
        }
        // Keep the route file's permissions; the replace takes the temporary file's.
        std::error_code ignored;
        const fs::perms permissions = fs::status(filePath, ignored).permissions();
        if (!ignored && (permissions & fs::perms::owner_write) != fs::perms::none) {
            fs::permissions(temporary, permissions, ignored);
        }
        if (!replaceFile(temporary, filePath)) {
            fs::remove(temporary);  // a failure here carries its own message
            throw GpxFailure(kMessageNotReplaced);
        }
        return true;
    } catch (const std::exception& failure) {
        message = failure.what();
        return false;
    }
}
