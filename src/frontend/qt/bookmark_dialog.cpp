#include "frontend/qt/bookmark_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

/// The slot's number, drawn beside its line: the line's own text stays the slot's summary.
QIcon SlotNumber(int slot, const QFont& font) {
    const QFontMetrics metrics(font);
    const int side = metrics.height();
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(slot));
    return QIcon(pixmap);
}

QPushButton* Button(const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

BookmarkDialog::BookmarkDialog(int langMode, Form form, bool savingAllowed, int selected,
                               SlotSource source, QWidget* parent)
    : QDialog(parent),
      langMode_(langMode),
      form_(form),
      savingAllowed_(savingAllowed),
      slots_(std::move(source)) {
    setWindowTitle(Pick(langMode, "しおりの整理", "Save menu"));
    lines_ = new QListWidget;
    lines_->setObjectName(QStringLiteral("slots"));
    lines_->setMinimumWidth(260);
    picture_ = new QLabel;
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setFixedSize(app::kSlotPictureWidth + 2, app::kSlotPictureHeight + 2);
    picture_->setFrameShape(QFrame::Box);
    picture_->setAlignment(Qt::AlignCenter);
    save_ = Button("save", Pick(langMode, "セーブ", "Save"));
    load_ = Button("load", Pick(langMode, "ロード", "Load"));
    saveWithComment_ =
        Button("saveWithComment", Pick(langMode, "コメントをつけてセーブ", "Save with comment"));
    initialize_ = Button("initialize", Pick(langMode, "初期化", "Initialize"));
    QPushButton* cancel = Button("cancel", Pick(langMode, "キャンセル", "Cancel"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(picture_);
    for (QPushButton* button : {save_, load_, saveWithComment_, initialize_, cancel}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lines_, 1);
    layout->addLayout(buttons);

    connect(lines_, &QListWidget::currentRowChanged, this, [this] { SelectionChanged(); });
    connect(save_, &QPushButton::clicked, this, [this] { Finish(Choice::Kind::kSave, {}); });
    connect(load_, &QPushButton::clicked, this, [this] { Finish(Choice::Kind::kLoad, {}); });
    connect(saveWithComment_, &QPushButton::clicked, this, [this] { SaveWithComment(); });
    connect(initialize_, &QPushButton::clicked, this, [this] {
        if (const int slot = SelectedSlot(); slot != 0) {
            slots_.initialize(slot);
            Refresh();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    Refresh();
    Select(selected);
}

void BookmarkDialog::Refresh() {
    list_ = slots_.list();
    const int row = lines_->currentRow();
    const QSignalBlocker quiet(lines_);
    lines_->clear();
    for (std::size_t i = 0; i < list_.size(); ++i) {
        const QString line = FromCp932(list_[i].ListLine());
        auto* item = new QListWidgetItem(SlotNumber(static_cast<int>(i) + 1, lines_->font()), line);
        // Read aloud with its number, as it is seen.
        item->setData(Qt::AccessibleTextRole, QStringLiteral("%1%2").arg(i + 1).arg(line));
        lines_->addItem(item);
    }
    lines_->setCurrentRow(row);
    SelectionChanged();
}

void BookmarkDialog::Select(int slot) {
    lines_->setCurrentRow(slot >= 1 && slot <= 9 ? slot - 1 : -1);
    SelectionChanged();
}

int BookmarkDialog::SelectedSlot() const {
    const int row = lines_->currentRow();
    return row >= 0 && row < 9 ? row + 1 : 0;
}

void BookmarkDialog::SelectionChanged() {
    const int slot = SelectedSlot();
    const bool full = form_ == Form::kFull;
    const bool hasData = slot != 0 && list_[slot - 1].hasData;
    load_->setEnabled(slot != 0 && (!full || hasData));
    save_->setEnabled(slot != 0 && full && savingAllowed_);
    saveWithComment_->setEnabled(slot != 0 && full && savingAllowed_);
    initialize_->setEnabled(slot != 0 && full);
    const QImage image = slot != 0 ? slots_.picture(slot) : QImage();
    picture_->setPixmap(image.isNull() ? QPixmap()
                                       : QPixmap::fromImage(image.scaled(
                                             app::kSlotPictureWidth, app::kSlotPictureHeight,
                                             Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void BookmarkDialog::Finish(Choice::Kind kind, std::string comment) {
    const int slot = SelectedSlot();
    if (slot == 0) {
        return;
    }
    choice_ = Choice{kind, slot, std::move(comment)};
    accept();
}

void BookmarkDialog::SaveWithComment() {
    const int slot = SelectedSlot();
    if (slot == 0) {
        return;
    }
    CommentDialog dialog(langMode_, list_[slot - 1].comment, this);
    if (dialog.exec() == QDialog::Accepted) {
        Finish(Choice::Kind::kSave, dialog.Comment());
    }
}

CommentDialog::CommentDialog(int langMode, const std::string& comment, QWidget* parent)
    : QDialog(parent) {
    // The comment dialog has this one title in both languages.
    setWindowTitle(QString::fromUtf8("しおりのコメント"));
    field_ = new QLineEdit(FromCp932(comment));
    field_->setObjectName(QStringLiteral("comment"));
    field_->setMaxLength(100);
    field_->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(Pick(langMode, "キャンセル", "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

std::string CommentDialog::Comment() const {
    return ToCp932(field_->text());
}

}  // namespace talu::qt
