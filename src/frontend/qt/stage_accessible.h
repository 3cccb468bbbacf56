#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace talu::qt {

class StageView;

/// Lets assistive technology read the stage: the view's accessible text is the page now shown,
/// and each link the reader can choose is a child button named by its text (after the view's
/// own child widgets, the form's controls). Call once the application exists, before the first
/// view is asked for.
void InstallStageAccessibility();

/// The page now shown on view becomes what assistive technology reads there; a screen reader is
/// told the text changed, even when the new page repeats the old one.
void AnnouncePage(StageView& view, const QString& text, const QStringList& links);

}  // namespace talu::qt
