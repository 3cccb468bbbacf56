#pragma once

#include <span>
#include <string>
#include <string_view>

#include "stage/picture_saver.h"

// Pictures of the stage that books save with SNAP, and where such a picture may go.
namespace talu::stage {

class Stage;

/// The file name a stage snapshot is written under: the request's, or "background.bmp" or
/// "background.jpg" when it has none.
std::string StageSnapshotName(const SaveRequest& request);

/// Composes the stage with background and characters only, saves that picture as
/// SavePicture does (under StageSnapshotName), and composes again as before. Nothing is
/// presented. False when nothing was written.
bool SaveStage(Stage& stage, const SaveRequest& request);

/// Whether a book may write the file at an inside path.
enum class SnapshotTarget {
    /// Inside the book's folder tree.
    kWritable,
    /// Its folder does not exist (nothing is written, nothing shown).
    kNoFolder,
    /// Outside the book's folder tree once "..", absolute paths and links are followed.
    kOutsideBook,
    /// A file the book keeps: one of its book files, a bookmark (.bmk) or a memo (.memo).
    kBookFile,
    /// Something other than a picture is there already: a file of another kind (a chapter
    /// not yet read), a folder, a link or a device.
    kNotAPicture,
};

/// Where insidePath lies relative to the tree below bookFolder (an inside folder), and whether
/// it is one of bookFiles (host paths of the files the book has read) or a bookmark or memo, and
/// whether what is there already may be replaced (only a regular file that is a picture).
SnapshotTarget CheckSnapshotTarget(std::string_view insidePath, std::string_view bookFolder,
                                   std::span<const std::string> bookFiles);

}  // namespace talu::stage
