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

/// Reads a cursor file for the CURSOR tag as stage::LoadCursorFile reads it (a Windows cursor,
/// an animated cursor or a small picture). nullopt when nothing usable is in it. Safe on any
/// thread (no pixmaps are made).
std::optional<std::vector<CursorFrame>> LoadCursorFile(const QString& path);

}  // namespace talu::qt
