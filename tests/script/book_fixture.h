#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/book.h"
#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/temp_folder.h"

namespace talu::script::test {

class RecordingBoxes : public MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    std::vector<std::string> boxes;
};

/// Each shown set of tags as "current|next|afterNext|index".
class RecordingFeed : public DebugFeed {
  public:
    void ShowTags(std::string_view current, std::string_view next, std::string_view afterNext,
                  int index) override {
        shown.push_back(std::string(current) + '|' + std::string(next) + '|' +
                        std::string(afterNext) + '|' + std::to_string(index));
    }
    std::vector<std::string> shown;
};

/// A book in a temporary folder, with its message boxes and debug feed recorded.
class BookTest : public ::testing::Test {
  protected:
    talu::test::TempFolder dir;
    RecordingBoxes boxes;
    RecordingFeed feed;
    Diagnostics diagnostics{boxes, kLangEnglish};
    Book book{BookServices{&diagnostics, &feed, nullptr, "Z:\\player\\"}};

    /// Writes the files, then opens the first one.
    void Open(std::string_view text) {
        dir.Write("book.talu", text);
        ASSERT_TRUE(book.OpenPath(dir.Inside("book.talu")));
    }

    /// Every record the book delivers, each as its entries.
    std::vector<std::vector<std::string>> FetchAll() {
        std::vector<std::vector<std::string>> records;
        TagRecord record;
        while (book.FetchTag(record)) {
            records.push_back(record.Entries());
        }
        return records;
    }

    /// The next delivered record.
    TagRecord Fetch() {
        TagRecord record;
        EXPECT_TRUE(book.FetchTag(record));
        return record;
    }

    static int Command(const TagRecord& record) {
        int command = 0;
        record.GetCommand(command);
        return command;
    }

    static std::string Attribute(const TagRecord& record, int id) {
        std::string value = "<absent>";
        record.GetAttribute(id, value);
        return value;
    }
};

}  // namespace talu::script::test
