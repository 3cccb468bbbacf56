#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/bookmark_manager.h"
#include "host/image/sdl_image_codec.h"
#include "script/keywords.h"
#include "stage/shrunk_picture.h"
#include "support/file_contents.h"
#include "support/interpreter_rig.h"

namespace talu::app::test_bookmarks {

namespace fs = std::filesystem;
using app::BookmarkManager;

constexpr std::string_view kA = "\x82\xA0";  // "あ" in CP932

/// A book in a temporary folder, an interpreter wired to the manager as the player wires it,
/// and the boxes the manager shows.
class BookmarkManagerTest : public ::testing::Test {
  protected:
    test::InterpreterRig rig;
    interp::ClickFlags clicks{};
    std::vector<std::string> boxes;
    LocalTime time{3, 4, 5, 6};
    std::string music;
    BookmarkManager manager{BookmarkServices{
        [this](const std::string& text) { boxes.push_back(text); },
        [] { return script::kLangEnglish; }, [this] { return time; },
        [this](std::vector<std::string>& lines) {
            if (!music.empty()) {
                lines.push_back("<BGM SRC=\"" + music + "\" LOOP=\"2\">");
            }
        },
        [this](stage::Surface& out) {
            out = Shot(grey);
            return grey != 0;
        },
        [this] { return rig.dir.Inside("spare/deep") + "\\"; }, [this] { return backlog; },
        [this](const std::string& text) {
            boxes.push_back(text);
            return answer;
        },
        [this](int oldIndex, std::optional<int> newIndex) {
            placeNews.push_back(newIndex ? "moved " + std::to_string(oldIndex) + " " +
                                               std::to_string(*newIndex)
                                         : std::string("lost"));
        }}};
    /// The answer to a question, and what loads told of a slot's place in an edited book.
    bool answer = true;
    std::vector<std::string> placeNews;
    /// The pages a slot saved now keeps beside it.
    std::vector<BacklogEntry> backlog;
    /// The stage shows one grey (0: the stage cannot be copied).
    std::uint8_t grey = 50;
    static stage::Surface Shot(std::uint8_t grey) {
        stage::Surface shot;
        shot.Create(8, 6, stage::PixelFormat::Rgb565());
        shot.Fill(grey | grey << 8 | grey << 16);
        return shot;
    }
    static std::string PictureFile(std::uint8_t grey) {
        return *host::EncodePng(
            stage::ShrunkPicture(Shot(grey), kSlotPictureWidth, kSlotPictureHeight));
    }
    std::unique_ptr<interp::Interpreter> interpreter;
    std::string bookFolder = "";
    std::vector<std::string> executed;

    std::unique_ptr<interp::Interpreter> Make() {
        interp::InterpreterServices services = rig.Services(clicks);
        services.onSavePoint = [this] { manager.SavePoint(*interpreter); };
        services.onTopPage = [this] { manager.TopPage(*interpreter); };
        return std::make_unique<interp::Interpreter>(std::move(services));
    }

    void Open(std::string_view text, const fs::path& relative = "tale.talu") {
        rig.dir.Write(relative, text);
        interpreter = Make();
        ASSERT_TRUE(interpreter->Open(rig.dir.Inside(relative)));
        manager.Reset(interpreter->Book().Path());
    }

    /// Steps until the book needs the run loop.
    int Run() {
        for (int i = 0; i < 1000; ++i) {
            script::TagRecord record;
            const int result = interpreter->Step(record);
            if (result != interp::step::kGoOn) {
                return result;
            }
        }
        return interp::step::kGoOn;
    }

    /// Loads as the player does: check, then a fresh interpreter takes the old one's place.
    bool Load(int slot) {
        auto file = manager.ReadForLoad(slot, interpreter->Book());
        if (!file) {
            return false;
        }
        interpreter.reset();
        interpreter = Make();
        return manager.Restore(
            *interpreter, *file, slot, [this](int result, const script::TagRecord& record) {
                int id = 0;
                record.GetCommand(id);
                executed.push_back(std::to_string(id) + ":" + std::to_string(result));
            });
    }

    std::string Var(std::string_view name) {
        auto value = interpreter->Variables().Variables().Find(name);
        return value ? std::string(*value) : "<none>";
    }

    fs::path Host(std::string_view name) { return rig.dir.Path() / name; }
    std::string Slot(int n) {
        char name[32];
        std::snprintf(name, sizeof(name), "tale.%02d.bmk", n);
        return test::ReadText(Host(name));
    }
};

}  // namespace talu::app::test_bookmarks
