#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace talu::stage {
class Screen;
}

namespace talu::qt {

/// Formats of the Save Picture dialog, in the order of its filters.
enum class SavedPictureFormat { kBmp = 0, kJpeg = 1, kPng = 2 };

/// The dialog's filters, in SavedPictureFormat order.
QStringList SavePictureFilters();

/// The file to write for a name chosen with a filter: ".BMP" is added unless the name ends in
/// .bmp, ".JPG" unless it ends in .jpg or .jpeg, ".png" unless it ends in .png (case-insensitive).
QString SavedPicturePath(const QString& chosen, SavedPictureFormat format);

/// Writes the whole screen to path in format (JPEG at quality 0..100); false when it could not.
bool WriteScreenPicture(const stage::Screen& screen, const QString& path, SavedPictureFormat format,
                        int jpegQuality);

/// Save Picture: asks for a file (the system asks before replacing one) and writes the screen.
/// False when the reader cancelled or the file could not be written (failed is then true).
bool SavePictureWithDialog(QWidget* parent, const stage::Screen& screen, int jpegQuality,
                           bool& failed);

}  // namespace talu::qt
