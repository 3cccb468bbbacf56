#include "frontend/qt/save_picture.h"

#include <QFileDialog>
#include <QFileInfo>

#include "host/paths.h"
#include "stage/picture_saver.h"
#include "stage/screen.h"
#include "stage/surface_png.h"

namespace talu::qt {

QStringList SavePictureFilters() {
    return {QStringLiteral("BMP files  (*.BMP)"), QStringLiteral("JPEG files (*.JPG *.JPEG)"),
            QStringLiteral("PNG files (*.png)")};
}

QString SavedPicturePath(const QString& chosen, SavedPictureFormat format) {
    const QString extension = QFileInfo(chosen).suffix().toUpper();
    switch (format) {
        case SavedPictureFormat::kBmp:
            return extension == "BMP" ? chosen : chosen + ".BMP";
        case SavedPictureFormat::kJpeg:
            return extension == "JPG" || extension == "JPEG" ? chosen : chosen + ".JPG";
        case SavedPictureFormat::kPng:
            return extension == "PNG" ? chosen : chosen + ".png";
    }
    return chosen;
}

bool WriteScreenPicture(const stage::Screen& screen, const QString& path, SavedPictureFormat format,
                        int jpegQuality) {
    stage::Surface copy;
    if (!screen.CopyOut(copy)) {
        return false;
    }
    if (format == SavedPictureFormat::kPng) {
        return stage::WriteSurfacePng(std::filesystem::path(path.toStdString()), copy);
    }
    stage::SaveRequest request;
    request.fileName = host::InsidePathFromHost(std::filesystem::path(path.toStdString()));
    request.format = format == SavedPictureFormat::kJpeg ? stage::PictureFileFormat::kJpeg
                                                         : stage::PictureFileFormat::kBmp;
    request.jpegQuality = jpegQuality;
    return stage::SavePicture(copy, "", request);
}

bool SavePictureWithDialog(QWidget* parent, const stage::Screen& screen, int jpegQuality,
                           bool& failed) {
    failed = false;
    const QStringList filters = SavePictureFilters();
    QString chosenFilter = filters.front();
    const QString chosen = QFileDialog::getSaveFileName(parent, QString(), QString(),
                                                        filters.join(";;"), &chosenFilter);
    if (chosen.isEmpty()) {
        return false;
    }
    const auto format =
        static_cast<SavedPictureFormat>(std::max<qsizetype>(0, filters.indexOf(chosenFilter)));
    if (!WriteScreenPicture(screen, SavedPicturePath(chosen, format), format, jpegQuality)) {
        failed = true;
        return false;
    }
    return true;
}

}  // namespace talu::qt
