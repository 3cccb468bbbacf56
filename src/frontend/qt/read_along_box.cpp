#include "frontend/qt/read_along_box.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QCheckBox* NamedCheck(const QString& text, const char* name, int checked) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked != 0);
    return box;
}

}  // namespace

ReadAlongBox::ReadAlongBox(const app::ReadAlongSettings& settings, int lang)
    : QGroupBox(Pick(lang, "読み上げとテキスト", "Reading Along")), langMode_(lang) {
    copy_ = NamedCheck(Pick(lang, "ページの文章をクリップボードにコピーする",
                            "Copy each page's text to the clipboard"),
                       "copyPageText", settings.copyToClipboard);
    readAloud_ = NamedCheck(Pick(lang, "ページを読み上げる", "Read each page aloud"), "readAloud",
                            settings.readAloud);
    readAloudReason_ = new QLabel;
    readAloudReason_->setObjectName(QStringLiteral("readAloudReason"));
    readAloudReason_->setWordWrap(true);
    readAloudReason_->hide();
    feed_ = NamedCheck(Pick(lang, "テキスト配信 (WebSocket, 127.0.0.1) ポート",
                            "Text feed (WebSocket on 127.0.0.1), port"),
                       "textFeed", settings.textFeed);
    port_ = new QSpinBox;
    port_->setObjectName(QStringLiteral("textFeedPort"));
    port_->setRange(1, 65535);
    port_->setValue(settings.textFeedPort);
    port_->setEnabled(feed_->isChecked());
    connect(feed_, &QCheckBox::toggled, port_, &QSpinBox::setEnabled);

    auto* feedRow = new QHBoxLayout;
    feedRow->addWidget(feed_);
    feedRow->addWidget(port_);
    feedRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(copy_);
    layout->addWidget(readAloud_);
    layout->addWidget(readAloudReason_);
    layout->addLayout(feedRow);
}

void ReadAlongBox::SetReadAloudProblem(const std::optional<QString>& problem) {
    const QString said =
        problem ? *problem : Pick(langMode_, "音声を探しています…", "Looking for voices…");
    if (problem && !problem->isEmpty()) {
        readAloud_->setChecked(false);
        readAloud_->setEnabled(false);
    }
    readAloud_->setToolTip(said);
    readAloudReason_->setText(said);
    readAloudReason_->setVisible(!said.isEmpty());
}

void ReadAlongBox::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    if (whenShown_) {
        std::exchange(whenShown_, nullptr)();
    }
}

void ReadAlongBox::Apply(app::ReadAlongSettings& settings) const {
    settings.copyToClipboard = copy_->isChecked() ? 1 : 0;
    if (readAloud_->isEnabled()) {
        settings.readAloud = readAloud_->isChecked() ? 1 : 0;
    }
    settings.textFeed = feed_->isChecked() ? 1 : 0;
    settings.textFeedPort = port_->value();
}

}  // namespace talu::qt
