#include "frontend/cli/tag_reference_html.h"

#include "script/sjis_text.h"

namespace talu::cli {
namespace {

const char* Pick(int langMode, const char* japanese, const char* english) {
    return langMode == 0 ? japanese : english;
}

std::string Keyword(std::string_view word) {
    return "<code class=\"kw\">" + EscapeHtml(script::ToUpperAscii(word)) + "</code>";
}

std::string KeywordList(const std::vector<std::string>& words, std::string_view separator) {
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : std::string(separator)) + Keyword(word);
    }
    return out;
}

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;max-width:60em;margin:1em auto;padding:0 1em;line-height:1.5;"
    "color:#222}h1{border-bottom:2px solid #468}h2{margin-top:2em;border-bottom:1px solid #ccc}"
    "code.kw{color:#036;font-weight:bold}pre{background:#f4f4f4;padding:.5em;overflow:auto}"
    "table{border-collapse:collapse;width:100%}td,th{border:1px solid #ccc;padding:.3em;"
    "vertical-align:top;text-align:left}th{background:#eef}nav a{margin-right:.6em;"
    "display:inline-block}.also{color:#666;font-size:90%}";

void Head(std::string& out, int langMode) {
    out += std::string("<!DOCTYPE html>\n<html lang=\"") + Pick(langMode, "ja", "en") +
           "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           Pick(langMode, "TALU タグ一覧", "TALU Tags") + "</title>\n<style>" +
           std::string(kStyle) + "</style>\n</head>\n<body>\n";
    out += std::string("<p><a href=\"../") + Pick(langMode, "en", "ja") + "/index.html\">" +
           Pick(langMode, "English", "日本語") + "</a></p>\n<h1>" +
           Pick(langMode, "TALU タグ一覧", "TALU Tags") + "</h1>\n";
}

void Contents(std::string& out, const TagReference& reference, int langMode) {
    for (const TwoLanguages& paragraph : reference.descriptions->intro) {
        out += "<p>" + paragraph.In(langMode) + "</p>\n";
    }
    out += "<nav>\n";
    for (const ReferenceTag& tag : reference.tags) {
        out += "<a href=\"#t" + std::to_string(tag.id) + "\">" + Keyword(tag.spellings.front()) +
               "</a>\n";
    }
    out += std::string("<a href=\"#effects\">") + Pick(langMode, "効果の一覧", "Effects") +
           "</a>\n<a href=\"#reserved\">" + Pick(langMode, "意味のない単語", "Reserved words") +
           "</a>\n</nav>\n";
}

void AttributeRow(std::string& out, const ReferenceAttribute& attribute, int langMode) {
    std::string values = KeywordList(attribute.values, ", ");
    if (attribute.effects) {
        values += std::string(values.empty() ? "" : ", ") + "<a href=\"#effects\">" +
                  Pick(langMode, "効果の名前", "an effect's name") + "</a>";
    }
    out += "<tr><td>" + KeywordList(attribute.spellings, " ") + "</td><td>" +
           attribute.text->meaning.In(langMode) + "</td><td>" + values + "</td><td>" +
           EscapeHtml(attribute.text->byDefault.In(langMode)) + "</td></tr>\n";
}

void TagSection(std::string& out, const ReferenceTag& tag, int langMode) {
    out += "<section id=\"t" + std::to_string(tag.id) + "\">\n<h2>" +
           Keyword(tag.spellings.front()) + "</h2>\n";
    std::vector<std::string> closing;
    std::vector<std::string> others;
    for (std::size_t i = 1; i < tag.spellings.size(); ++i) {
        (tag.spellings[i].starts_with('/') ? closing : others).push_back(tag.spellings[i]);
    }
    if (!closing.empty()) {
        out += std::string("<p class=\"also\">") + Pick(langMode, "閉じタグ：", "Closing tag: ") +
               KeywordList(closing, " ") + "</p>\n";
    }
    if (!others.empty()) {
        out += std::string("<p class=\"also\">") +
               Pick(langMode, "ほかの書き方：", "Also written: ") + KeywordList(others, " ") +
               "</p>\n";
    }
    out += "<p>" + tag.text->meaning.In(langMode) + "</p>\n";
    if (!tag.attributes.empty()) {
        out += std::string("<table>\n<tr><th>") + Pick(langMode, "属性", "Attribute") +
               "</th><th>" + Pick(langMode, "意味", "Meaning") + "</th><th>" +
               Pick(langMode, "値", "Values") + "</th><th>" + Pick(langMode, "既定", "Default") +
               "</th></tr>\n";
        for (const ReferenceAttribute& attribute : tag.attributes) {
            AttributeRow(out, attribute, langMode);
        }
        out += "</table>\n";
    }
    if (!tag.text->example.empty()) {
        out += std::string("<p>") + Pick(langMode, "例：", "Example:") + "</p>\n<pre>";
        for (const std::string& line : tag.text->example) {
            out += EscapeHtml(line) + "\n";
        }
        out += "</pre>\n";
    }
    out += "</section>\n";
}

void Vocabularies(std::string& out, const TagReference& reference, int langMode) {
    out += std::string("<section id=\"effects\">\n<h2>") +
           Pick(langMode, "効果の一覧", "Transition effects") + "</h2>\n<p>" +
           Pick(langMode,
                "EFFECT 属性に書ける名前です（大文字と小文字は区別しません）。知らない名前は "
                "EF_NORMAL になります。",
                "The names an EFFECT attribute takes, in any case; an unknown name gives "
                "EF_NORMAL.") +
           "</p>\n<ul>\n";
    for (const std::string& effect : reference.effects) {
        out += "<li><code class=\"effect\">" + EscapeHtml(effect) + "</code></li>\n";
    }
    out += std::string("</ul>\n</section>\n<section id=\"reserved\">\n<h2>") +
           Pick(langMode, "意味のない単語", "Reserved words") + "</h2>\n";
    for (const ReferenceReserved& reserved : reference.reserved) {
        out += "<p>" + reserved.text->meaning.In(langMode) + "</p>\n<p>" +
               KeywordList(reserved.words, " ") + "</p>\n";
    }
    out += "</section>\n";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string TagReferenceHtml(const TagReference& reference, int langMode) {
    std::string out;
    Head(out, langMode);
    Contents(out, reference, langMode);
    for (const ReferenceTag& tag : reference.tags) {
        TagSection(out, tag, langMode);
    }
    Vocabularies(out, reference, langMode);
    out += std::string("<footer><p class=\"also\">") +
           Pick(langMode, "talu-cli tags --html がプレイヤーのキーワード表から作りました（talu ",
                "Made by talu-cli tags --html from the player's keyword table (talu ") +
           TALU_VERSION + ").</p></footer>\n</body>\n</html>\n";
    return out;
}

}  // namespace talu::cli
