#include "frontend/cli/tag_descriptions.h"

namespace talu::cli {
namespace {

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        if (end > pos) {
            words.emplace_back(text.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return words;
}

void Append(std::string& to, std::string_view text) {
    if (!to.empty()) {
        to += ' ';
    }
    to += text;
}

/// Reads the lines one by one into the block they belong to.
class DescriptionReader {
  public:
    DescriptionReader(TagDescriptions& out, std::vector<std::string>& problems)
        : out_(out), problems_(problems) {}

    void Line(int number, std::string_view key, std::string_view rest) {
        line_ = number;
        if (key == "intro") {
            block_ = Block::kIntro;
        } else if (key == "tag" && !rest.empty()) {
            out_.tags.push_back({std::string(rest), number, {}, {}, {}});
            block_ = Block::kTag;
        } else if (key == "reserved" && !rest.empty()) {
            out_.reserved.push_back({Words(rest), number, {}});
            block_ = Block::kReserved;
        } else if (key == "attr" && InTag() && !rest.empty()) {
            out_.tags.back().attributes.push_back({std::string(rest), number, {}, {}, {}});
            block_ = Block::kAttribute;
        } else if (key == "ja" || key == "en") {
            Meaning(key == "ja", rest);
        } else if (key == "example" && InTag()) {
            out_.tags.back().example.emplace_back(rest);
        } else if (key.starts_with("default") && block_ == Block::kAttribute) {
            Default(key, rest);
        } else if (key == "values" && block_ == Block::kAttribute) {
            out_.tags.back().attributes.back().values = Words(rest);
        } else {
            Problem("this line belongs to no tag or attribute: " + std::string(key));
        }
    }

  private:
    enum class Block { kNone, kIntro, kTag, kAttribute, kReserved };

    bool InTag() const { return block_ == Block::kTag || block_ == Block::kAttribute; }

    void Meaning(bool japanese, std::string_view text) {
        TwoLanguages* target = nullptr;
        switch (block_) {
            case Block::kIntro: {
                std::size_t& count = japanese ? introJa_ : introEn_;
                if (out_.intro.size() <= count) {
                    out_.intro.resize(count + 1);
                }
                target = &out_.intro[count++];
                break;
            }
            case Block::kTag:
                target = &out_.tags.back().meaning;
                break;
            case Block::kAttribute:
                target = &out_.tags.back().attributes.back().meaning;
                break;
            case Block::kReserved:
                target = &out_.reserved.back().meaning;
                break;
            case Block::kNone:
                Problem("a text before the first block");
                return;
        }
        Append(japanese ? target->ja : target->en, text);
    }

    void Default(std::string_view key, std::string_view text) {
        TwoLanguages& byDefault = out_.tags.back().attributes.back().byDefault;
        if (key == "default" || key == "default-ja") {
            byDefault.ja = text;
        }
        if (key == "default" || key == "default-en") {
            byDefault.en = text;
        }
        if (key != "default" && key != "default-ja" && key != "default-en") {
            Problem("unknown line " + std::string(key));
        }
    }

    void Problem(const std::string& message) {
        problems_.push_back(std::to_string(line_) + ": " + message);
    }

    TagDescriptions& out_;
    std::vector<std::string>& problems_;
    Block block_ = Block::kNone;
    std::size_t introJa_ = 0;
    std::size_t introEn_ = 0;
    int line_ = 0;
};

}  // namespace

bool ParseTagDescriptions(std::string_view text, TagDescriptions& out,
                          std::vector<std::string>& problems) {
    const std::size_t before = problems.size();
    DescriptionReader reader(out, problems);
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? "" : line.substr(space + 1);
        reader.Line(number, key, rest);
    }
    return problems.size() == before;
}

}  // namespace talu::cli
