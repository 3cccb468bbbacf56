#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/page_news.h"
#include "app/read_along_settings.h"
#include "app/shown_page.h"
#include "frontend/qt/read_aloud.h"
#include "frontend/qt/text_feed.h"

namespace talu::qt {

class ReadAlongBox;
class StageView;

/// What follows each typed page outside the stage's pixels: the screen reader's view of the
/// stage always, and as the reader chose, the clipboard, the spoken page and the text feed.
/// Interface thread only.
class ReadAlong {
  public:
    /// settings and stage outlive this; langMode gives the book's language now; engines are
    /// the speech engines to speak with, in order of preference.
    ReadAlong(const app::ReadAlongSettings& settings, StageView& stage,
              std::function<int()> langMode, QStringList engines = ReadAloud::InstalledEngines());

    /// A page has been typed and waits for the reader: the stage shows all of it to assistive
    /// technology; the clipboard, the voice and the feed get what is new on it.
    void Show(const app::ShownPage& page);
    /// The reader clicked (or pressed a key that reads on): the spoken page stops.
    void Clicked();
    /// The book closed or a bookmark load ends the reading: nothing is shown or spoken, and the
    /// next page is new.
    void BookClosed();
    /// Follows the settings: opens or closes the feed, stops speaking when switched off. The
    /// problem when the feed cannot listen, empty when all is well.
    QString Apply();
    /// Why pages cannot be spoken in the book's language; empty when they can, nullopt while
    /// the speech engines are still being asked (which this starts).
    std::optional<QString> ReadAloudProblem();
    /// The settings' box says whether pages can be spoken: the engines are asked when it is
    /// first shown (starting them takes a while), and it is told their answer.
    void Attend(ReadAlongBox& box);

    const TextFeed& Feed() const { return feed_; }

  private:
    const app::ReadAlongSettings& settings_;
    StageView& stage_;
    std::function<int()> langMode_;
    app::PageNews news_;
    ReadAloud speech_;
    TextFeed feed_;
};

}  // namespace talu::qt
