#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

namespace talu::qt {

/// One picture of a mouse cursor with its hot spot and how long it shows (0: for ever).
struct CursorFrame {
    QImage image;
    QPoint hotSpot;
    int durationMs = 0;
};

/// Reads a cursor file for the CURSOR tag: a Windows cursor (.cur, with its hot spot), an
/// animated cursor (.ani, each step with its rate), or any picture Qt reads (hot spot at the top
/// left). nullopt when nothing usable is in it. Safe on any thread (no pixmaps are made).
std::optional<std::vector<CursorFrame>> LoadCursorFile(const QString& path);

/// The frames of cursor data already in memory, as LoadCursorFile reads them.
std::optional<std::vector<CursorFrame>> ReadCursorData(const QByteArray& data);

}  // namespace talu::qt
