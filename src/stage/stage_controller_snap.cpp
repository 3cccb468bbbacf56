// The SNAP handler of the stage controller.
#include "script/keywords.h"
#include "script/messages.h"
#include "stage/picture_saver.h"
#include "stage/stage_controller.h"
#include "stage/stage_snapshot.h"
#include "stage/tag_values.h"

namespace talu::stage {
std::optional<std::string> StageController::SnapTag(const script::TagRecord& tag,
                                                    std::string_view bookFolder,
                                                    std::span<const std::string> bookFiles) {
    SaveRequest request;
    request.width = ReadInt(tag, script::kw::kWidth).value_or(kSizeNotGiven);
    request.height = ReadInt(tag, script::kw::kHeight).value_or(kSizeNotGiven);
    tag.GetAttribute(script::kw::kFolder, request.folder);
    tag.GetAttribute(script::kw::kSrc, request.fileName);
    request.format = ReadKeyword(tag, script::kw::kMode) == script::kw::kJpeg
                         ? PictureFileFormat::kJpeg
                         : PictureFileFormat::kBmp;
    request.jpegQuality = Settings().m_nJpeg;
    request.bookFolder = std::string(bookFolder);

    Stage& stage = GetStage();
    const Character* character = nullptr;
    std::string name;
    if (tag.GetAttribute(script::kw::kName, name)) {
        const std::optional<int> slot = stage.FindByName(name);
        if (!slot) {
            Report(script::err::kNotEntered, name);
            return std::nullopt;
        }
        character = &stage.CharacterAt(*slot);
    } else {
        request.fileName = StageSnapshotName(request);
    }
    const std::string path = SavedPictureName(character ? character->source : "", request);
    switch (CheckSnapshotTarget(path, bookFolder, bookFiles)) {
        case SnapshotTarget::kOutsideBook:
        case SnapshotTarget::kBookFile:
        case SnapshotTarget::kNotAPicture:
            // Books may keep pictures of themselves, never write over anything else, nor over
            // their own text, bookmarks and memos, nor over a file that is not a picture.
            Report(script::err::kCannotOpenFile, path);
            return std::nullopt;
        case SnapshotTarget::kNoFolder:
            return std::nullopt;
        case SnapshotTarget::kWritable:
            break;
    }
    const bool saved = character != nullptr ? SavePicture(*character, character->source, request)
                                            : SaveStage(stage, request);
    return saved ? std::optional(path) : std::nullopt;
}

}  // namespace talu::stage
