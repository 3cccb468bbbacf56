#include "stage/stage_snapshot.h"

#include <algorithm>
#include <filesystem>

#include "host/paths.h"
#include "script/sjis_text.h"
#include "stage/picture_signature.h"
#include "stage/stage.h"

namespace talu::stage {
namespace fs = std::filesystem;

std::string StageSnapshotName(const SaveRequest& request) {
    if (!request.fileName.empty()) {
        return request.fileName;
    }
    return request.format == PictureFileFormat::kJpeg ? "background.jpg" : "background.bmp";
}

bool SaveStage(Stage& stage, const SaveRequest& request) {
    SaveRequest named = request;
    named.fileName = StageSnapshotName(request);
    // The stage is held throughout, so a paint never shows it without its message window.
    return stage.ReadComposedWith(
        compose::kNoText | compose::kNoWindow,
        [&](const Surface& stageSurface) { return SavePicture(stageSurface, "", named); });
}

namespace {

bool KeptByTheBook(const fs::path& target, std::span<const std::string> bookFiles) {
    const std::string extension = script::ToUpperAscii(target.extension().string());
    if (extension == ".BMK" || extension == ".MEMO") {
        return true;
    }
    std::error_code ec;
    return std::any_of(bookFiles.begin(), bookFiles.end(),
                       [&](const std::string& file) { return fs::equivalent(target, file, ec); });
}

}  // namespace

SnapshotTarget CheckSnapshotTarget(std::string_view insidePath, std::string_view bookFolder,
                                   std::span<const std::string> bookFiles) {
    const host::HostPathOptions options{bookFolder};
    const std::optional<fs::path> target = host::HostPathForWriting(insidePath, options);
    if (!target) {
        return SnapshotTarget::kNoFolder;
    }
    const std::optional<fs::path> folder = host::FindHostPath(bookFolder, options);
    if (!folder) {
        return SnapshotTarget::kOutsideBook;
    }
    // Links are followed too: a link inside the book must not lead a write out of it.
    std::error_code ec;
    const fs::path root = fs::canonical(*folder, ec);
    if (ec) {
        return SnapshotTarget::kOutsideBook;
    }
    const fs::path file = fs::weakly_canonical(*target, ec);
    if (ec) {
        return SnapshotTarget::kOutsideBook;
    }
    const auto [rootEnd, rest] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (rootEnd != root.end() || rest == file.end()) {
        return SnapshotTarget::kOutsideBook;
    }
    if (KeptByTheBook(file, bookFiles)) {
        return SnapshotTarget::kBookFile;
    }
    // Judged by the entry itself, not where a link leads.
    const fs::file_status status = fs::symlink_status(*target, ec);
    if (fs::exists(status) && (!fs::is_regular_file(status) || !FileLooksLikePicture(*target))) {
        return SnapshotTarget::kNotAPicture;
    }
    return SnapshotTarget::kWritable;
}

}  // namespace talu::stage
