#include "html_page.hpp"

namespace qor::report {

namespace {

constexpr std::string_view kBaseStyle =
    "body{font-family:system-ui,sans-serif;margin:1.5em;color:#222}"
    "h1{font-size:1.4em}h2{font-size:1.15em;margin-top:1.6em}"
    "table{border-collapse:collapse;font-size:0.9em}"
    "th,td{border:1px solid #ccc;padding:2px 6px}th{background:#eee}"
    "td.num{text-align:right}"
    ".ok{background:#dff0d8}.bad{background:#f8d7da}.part{background:#fff3cd}"
    "code,pre{font-family:ui-monospace,monospace}";

}  // namespace

std::string html_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string html_document(std::string_view title, std::string_view style, std::string_view body,
                          std::string_view script) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += html_escaped(title);
    out += "</title>\n<style>";
    out += kBaseStyle;
    out += style;
    out += "</style>\n</head>\n<body>\n";
    out += body;
    out += "\n<script>\n";
    out += script;
    out += "\n</script>\n</body>\n</html>\n";
    return out;
}

}  // namespace qor::report
