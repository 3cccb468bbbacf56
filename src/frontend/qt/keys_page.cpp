#include "frontend/qt/keys_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/qt/key_text.h"
#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

enum Column { kActionColumn, kKeysColumn, kButtonsColumn };

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString NameOf(app::ReaderAction action, int lang) {
    const app::ReaderActionInfo& info = app::InfoOf(action);
    return FromUtf8(lang == 0 ? info.japanese : info.english);
}

// A dot between keys: a comma or slash would read as the comma or slash key.
QString Listed(const std::vector<std::string>& names) {
    QStringList shown;
    for (const std::string& name : names) {
        shown << QString::fromStdString(name);
    }
    return shown.join(QString::fromUtf8(" · "));
}

QString KeyRefusal(int lang, const QString& key, const QString& owner) {
    return Pick(lang, "%1 は「%2」に使われています。先にそちらを変えてください。",
                "%1 is already used by \"%2\"; change that first.")
        .arg(key, owner);
}

QString ButtonRefusal(int lang, const QString& button, const QString& owner) {
    return Pick(lang, "ボタン %1 は「%2」に使われています。先にそちらを変えてください。",
                "The button %1 is already used by \"%2\"; change that first.")
        .arg(button, owner);
}

QPushButton* NamedButton(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

KeyCapture::KeyCapture(const QString& idle, const QString& waiting,
                       std::function<void(const std::string&)> captured)
    : QPushButton(idle), idle_(idle), waiting_(waiting), captured_(std::move(captured)) {
    connect(this, &QPushButton::clicked, this, [this] { capturing_ ? Stop() : Start(); });
}

void KeyCapture::Start() {
    capturing_ = true;
    modifier_ = 0;
    setText(waiting_);
    setFocus(Qt::OtherFocusReason);
}

void KeyCapture::Stop() {
    capturing_ = false;
    setText(idle_);
}

bool KeyCapture::event(QEvent* event) {
    if (!capturing_) {
        return QPushButton::event(event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:  // every key is the one to bind, none a shortcut
            event->accept();
            return true;
        case QEvent::KeyPress: {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (key.isAutoRepeat()) {
                return true;
            }
            modifier_ = IsModifierKey(key.key()) ? key.key() : 0;
            const std::string text = KeyText(key);
            if (modifier_ == 0 && !text.empty()) {
                Stop();
                captured_(text);
            }
            return true;
        }
        case QEvent::KeyRelease: {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (!key.isAutoRepeat() && modifier_ != 0 && key.key() == modifier_) {
                Stop();
                captured_(KeyText(modifier_, Qt::NoModifier));
            }
            return true;
        }
        case QEvent::FocusOut:
            Stop();
            break;
        default:
            break;
    }
    return QPushButton::event(event);
}

KeysPage::KeysPage(const app::InputBindings& bindings, int langMode, QWidget* parent)
    : QWidget(parent), bindings_(bindings), lang_(langMode) {
    const int lang = langMode;
    const auto actions = app::ReaderActions();
    table_ = new QTableWidget(static_cast<int>(actions.size()), 3);
    table_->setObjectName(QStringLiteral("keyTable"));
    table_->setHorizontalHeaderLabels({Pick(lang, "操作", "Action"), Pick(lang, "キー", "Keys"),
                                       Pick(lang, "ゲームパッド", "Gamepad")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kKeysColumn, QHeaderView::Stretch);
    // Rows as tall as their text: every action fits on a small screen.
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);  // every action at once
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = 0; column < 3; ++column) {
            table_->setItem(row, column, new QTableWidgetItem);
        }
        table_->item(row, kActionColumn)->setText(NameOf(actions[row].action, lang));
    }

    const QString waiting = Pick(lang, "キーを押してください…", "Press a key…");
    change_ = new KeyCapture(Pick(lang, "キーを変更", "Change key"), waiting,
                             [this](const std::string& key) { TakeKey(key, false); });
    change_->setObjectName(QStringLiteral("changeKey"));
    add_ = new KeyCapture(Pick(lang, "キーを追加", "Add key"), waiting,
                          [this](const std::string& key) { TakeKey(key, true); });
    add_->setObjectName(QStringLiteral("addKey"));
    QPushButton* clear = NamedButton(Pick(lang, "キーを消す", "Clear keys"), "clearKeys");
    connect(clear, &QPushButton::clicked, this, [this] {
        bindings_.SetKeys(Selected(), {});
        Refresh();
    });
    QPushButton* restore = NamedButton(Pick(lang, "この操作を既定に", "Default"), "defaultKeys");
    connect(restore, &QPushButton::clicked, this, [this] { RestoreSelected(); });
    QPushButton* restoreAll =
        NamedButton(Pick(lang, "すべて既定に戻す", "Restore defaults"), "restoreDefaults");
    connect(restoreAll, &QPushButton::clicked, this, [this] {
        bindings_ = app::InputBindings();
        Refresh();
    });

    button_ = new QComboBox;
    button_->setObjectName(QStringLiteral("padButton"));
    button_->addItem(Pick(lang, "なし", "None"), QString());
    for (std::string_view name : app::GamepadButtonNames()) {
        button_->addItem(FromUtf8(name), FromUtf8(name));
    }
    connect(button_, &QComboBox::activated, this,
            [this](int index) { TakeButton(button_->itemData(index).toString().toStdString()); });

    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("keyMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* controls = new QGridLayout;
    controls->addWidget(change_, 0, 0);
    controls->addWidget(add_, 0, 1);
    controls->addWidget(clear, 0, 2);
    controls->addWidget(restore, 0, 3);
    controls->addWidget(new QLabel(Pick(lang, "ゲームパッドのボタン", "Gamepad button")), 1, 0);
    controls->addWidget(button_, 1, 1);
    controls->addWidget(restoreAll, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(controls);
    layout->addWidget(message_);
    connect(table_, &QTableWidget::currentCellChanged, this, [this] {
        message_->clear();
        Refresh();
    });
    table_->setCurrentCell(0, kActionColumn);
    Refresh();
}

void KeysPage::Select(app::ReaderAction action) {
    table_->setCurrentCell(static_cast<int>(action), kActionColumn);
}

app::ReaderAction KeysPage::Selected() const {
    const int row = std::max(table_->currentRow(), 0);
    return app::ReaderActions()[static_cast<std::size_t>(row)].action;
}

QString KeysPage::TakenBy(std::optional<app::ReaderAction> owner) const {
    return owner && *owner != Selected() ? NameOf(*owner, lang_) : QString();
}

bool KeysPage::TakeKey(const std::string& key, bool add) {
    const QString owner = TakenBy(bindings_.ActionForKey(key));
    if (!owner.isEmpty()) {
        Refuse(KeyRefusal(lang_, QString::fromStdString(key), owner));
        return false;
    }
    std::vector<std::string> keys;
    if (add) {
        keys = bindings_.Keys(Selected());
    }
    keys.push_back(key);
    bindings_.SetKeys(Selected(), std::move(keys));
    message_->clear();
    Refresh();
    return true;
}

bool KeysPage::TakeButton(const std::string& button) {
    const QString owner = button.empty() ? QString() : TakenBy(bindings_.ActionForButton(button));
    if (!owner.isEmpty()) {
        Refuse(ButtonRefusal(lang_, QString::fromStdString(button), owner));
        Refresh();  // the box shows the button the action still has
        return false;
    }
    bindings_.SetButtons(Selected(),
                         button.empty() ? std::vector<std::string>{} : std::vector{button});
    message_->clear();
    Refresh();
    return true;
}

void KeysPage::RestoreSelected() {
    const app::ReaderActionInfo& info = app::InfoOf(Selected());
    for (std::string_view key : info.keys) {
        if (const QString owner = TakenBy(bindings_.ActionForKey(key)); !owner.isEmpty()) {
            Refuse(KeyRefusal(lang_, FromUtf8(key), owner));
            return;
        }
    }
    for (std::string_view button : info.buttons) {
        if (const QString owner = TakenBy(bindings_.ActionForButton(button)); !owner.isEmpty()) {
            Refuse(ButtonRefusal(lang_, FromUtf8(button), owner));
            return;
        }
    }
    bindings_.SetKeys(info.action, {info.keys.begin(), info.keys.end()});
    bindings_.SetButtons(info.action, {info.buttons.begin(), info.buttons.end()});
    message_->clear();
    Refresh();
}

QString KeysPage::Message() const {
    return message_->text();
}

void KeysPage::Refuse(const QString& message) {
    message_->setText(message);
}

void KeysPage::Refresh() {
    const auto actions = app::ReaderActions();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const app::ReaderAction action = actions[static_cast<std::size_t>(row)].action;
        table_->item(row, kKeysColumn)->setText(Listed(bindings_.Keys(action)));
        table_->item(row, kButtonsColumn)->setText(Listed(bindings_.Buttons(action)));
    }
    const std::vector<std::string>& buttons = bindings_.Buttons(Selected());
    const int index =
        buttons.empty() ? 0 : button_->findData(QString::fromStdString(buttons.front()));
    button_->setCurrentIndex(std::max(index, 0));
}

}  // namespace talu::qt
