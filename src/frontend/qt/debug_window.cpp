#include "frontend/qt/debug_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QLineEdit* NamedField(int id, bool readOnly) {
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("edit%1").arg(id));
    field->setReadOnly(readOnly);
    return field;
}

QPushButton* NamedButton(const QString& text, int id) {
    auto* button = new QPushButton(text);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

DebugWindow::DebugWindow(int langMode, Actions actions, DebugItems& shown, QWidget* parent)
    : QWidget(parent, Qt::Tool), actions_(std::move(actions)), items_(shown) {
    const int lang = langMode;
    setWindowTitle(Pick(lang, "デバッグ", "Debug"));
    auto* layout = new QVBoxLayout(this);
    if (lang == 0) {
        layout->addWidget(new QLabel(QString::fromUtf8(
            "  ブックが完成した部分の最後で[ブックマーク]ボタンを押してください。\n"
            "  ブックを編集した後に[リロード]を押すとでそこから始めます。")));
    }
    auto* book = new QGroupBox(Pick(lang, "読み込み中のTALUブック", "Book's contents"));
    auto* items = new QVBoxLayout(book);
    // Top to bottom as they were read: two before, the current one, two after.
    const int ids[5] = {1006, 1005, 1000, 1007, 1008};
    for (int i = 0; i < 5; ++i) {
        fields_[i] = NamedField(ids[i], true);
        fields_[i]->setMinimumWidth(360);
        items->addWidget(fields_[i]);
    }
    QFont bold = fields_[2]->font();
    bold.setBold(true);
    fields_[2]->setFont(bold);
    layout->addWidget(book);

    auto* lineRow = new QHBoxLayout;
    line_ = NamedField(1019, true);
    line_->setMaximumWidth(80);
    lineRow->addWidget(line_);
    lineRow->addWidget(new QLabel(Pick(lang, "行目", "lines")));
    lineRow->addStretch();
    QPushButton* save = NamedButton(Pick(lang, "ブックマーク", "Bookmark"), 1027);
    QPushButton* reload = NamedButton(Pick(lang, "リロード", "Reload"), 1028);
    connect(save, &QPushButton::clicked, this, [this] { actions_.bookmark(1); });
    connect(reload, &QPushButton::clicked, this, [this] { actions_.bookmark(2); });
    lineRow->addWidget(save);
    lineRow->addWidget(reload);
    layout->addLayout(lineRow);

    layout->addWidget(new QLabel(
        Pick(lang, "↓ここにカードの名前を入れてリターンキーを押してください", "Cars's Name")));
    auto* valueRow = new QHBoxLayout;
    name_ = NamedField(1058, false);
    QPushButton* show = NamedButton(QStringLiteral("->"), 1060);
    connect(show, &QPushButton::clicked, this, [this] { ShowValue(); });
    value_ = NamedField(1057, true);
    value_->setPlaceholderText(Pick(lang, "", "Value"));
    valueRow->addWidget(name_);
    valueRow->addWidget(show);
    valueRow->addWidget(value_);
    valueRow->addWidget(NamedButton(Pick(lang, "詳細↓", "Details"), 1042));
    layout->addLayout(valueRow);
    items_.SetWindow(this);
    Refresh();  // where the book already is
}

DebugWindow::~DebugWindow() {
    items_.SetWindow(nullptr);
}

void DebugWindow::Refresh() {
    items_.RefreshDone();
    const DebugItems::Items items = items_.Snapshot();
    const std::string* texts[5] = {&items.beforeThat, &items.before, &items.current, &items.next,
                                   &items.afterNext};
    for (int i = 0; i < 5; ++i) {
        fields_[i]->setText(FromCp932(*texts[i]));
        fields_[i]->setCursorPosition(0);
    }
    line_->setText(QString::number(items.index));
}

void DebugWindow::ShowBeside(const QWidget& main) {
    move(main.frameGeometry().topRight() + QPoint(1, 0));
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
}

void DebugWindow::Toggle(const QWidget& main) {
    if (isVisible()) {
        hide();
    } else {
        ShowBeside(main);
    }
}

void DebugWindow::ShowValue() {
    if (!actions_.value) {
        return;
    }
    if (const auto shown = actions_.value(ToCp932(name_->text()))) {
        value_->setText(FromCp932(*shown));
    }
}

void DebugWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ShowValue();  // Enter shows the value anywhere in the window and never closes it
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace talu::qt
