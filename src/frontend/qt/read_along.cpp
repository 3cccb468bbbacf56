#include "frontend/qt/read_along.h"

#include <QPointer>

#include "frontend/qt/page_clipboard.h"
#include "frontend/qt/read_along_box.h"
#include "frontend/qt/stage_accessible.h"

namespace talu::qt {

ReadAlong::ReadAlong(const app::ReadAlongSettings& settings, StageView& stage,
                     std::function<int()> langMode, QStringList engines)
    : settings_(settings),
      stage_(stage),
      langMode_(std::move(langMode)),
      speech_(std::move(engines)) {
    InstallStageAccessibility();
}

void ReadAlong::Show(const app::ShownPage& page) {
    const QString text = QString::fromStdString(page.text);
    QStringList links;
    for (const std::string& link : page.links) {
        links << QString::fromStdString(link);
    }
    AnnouncePage(stage_, text, links);
    const QString message = QString::fromStdString(news_.Next(page));
    if (message.isEmpty()) {
        return;  // nothing new: the clipboard and the feed keep the last text, the voice goes on
    }
    if (settings_.copyToClipboard != 0) {
        CopyPageText(message);
    }
    if (settings_.textFeed != 0) {
        feed_.Send(message);
    }
    if (settings_.readAloud != 0) {
        speech_.Speak(message, langMode_());
    }
}

void ReadAlong::Clicked() {
    speech_.Stop();
}

void ReadAlong::BookClosed() {
    speech_.Stop();
    news_.Forget();
    AnnouncePage(stage_, QString(), QStringList());
}

QString ReadAlong::Apply() {
    if (settings_.readAloud == 0) {
        speech_.Stop();
    }
    if (settings_.textFeed == 0) {
        feed_.Stop();
        return QString();
    }
    QString problem;
    feed_.Start(settings_.textFeedPort, langMode_(), problem);
    return problem;
}

std::optional<QString> ReadAlong::ReadAloudProblem() {
    return speech_.Problem(langMode_());
}

void ReadAlong::Attend(ReadAlongBox& box) {
    box.WhenShown([this, guarded = QPointer<ReadAlongBox>(&box)] {
        guarded->SetReadAloudProblem(ReadAloudProblem());
        speech_.WhenAnswered([this, guarded] {
            if (guarded) {
                guarded->SetReadAloudProblem(ReadAloudProblem());
            }
        });
    });
}

}  // namespace talu::qt
