#include "frontend/qt/settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/qt/keys_page.h"
#include "frontend/qt/read_along_box.h"
#include "frontend/qt/sound_settings_group.h"
#include "frontend/qt/ui_text.h"
#include "host/paths.h"
#include "script/messages.h"

namespace talu::qt {
namespace {

constexpr int kMaxFolderLength = 300;

void ClampTo99(std::atomic<int>& value) {
    if (value.load() > 99) {
        value.store(99);
    }
}

QCheckBox* NamedCheck(const QString& text, int id, bool checked) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QStringLiteral("check%1").arg(id));
    box->setChecked(checked);
    return box;
}

/// The folder as the reader knows it: a host path, or the inside form where it has none.
QString ShownFolder(const std::string& inside) {
    const std::optional<std::filesystem::path> native = host::HostPathFromInside(inside);
    return native ? QString::fromStdString(native->string()) : FromCp932(inside);
}

/// A folder the reader typed as a host path becomes the inside form the engine keeps.
std::string InsideFolder(const QString& typed) {
    if (typed.startsWith('/')) {
        std::string inside = host::InsidePathFromHost(std::filesystem::path(typed.toStdString()));
        if (inside.empty() || inside.back() != '\\') {
            inside += '\\';
        }
        return inside;
    }
    return ToCp932(typed);
}

}  // namespace

SettingsDialog::SettingsDialog(app::Settings& settings, DesktopSettings& desktop, int langMode,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), desktop_(desktop), langMode_(langMode) {
    ClampTo99(settings.textWait.current);
    ClampTo99(settings.charWait.current);
    ClampTo99(settings.backWait.current);
    ClampTo99(settings.fadeWait.current);
    ClampTo99(settings.bright);
    const int lang = langMode;
    setWindowTitle(Pick(lang, "設定", "Setting"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(Pick(lang, "早い", "Fast")), 0, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(Pick(lang, "普通", "Normal")), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(Pick(lang, "遅い", "Slow")), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(Pick(lang, "なし", "None")), 0, 2, Qt::AlignHCenter);
    noText_ = NamedCheck({}, 1034, settings.textEffect.current.load() == 0);
    noCharacter_ = NamedCheck({}, 1035, settings.charEffect.current.load() == 0);
    noBackground_ = NamedCheck({}, 1036, settings.backEffect.current.load() == 0);
    noWindow_ = NamedCheck({}, 1037, settings.fadeEffect.current.load() == 0);
    noBrightness_ = NamedCheck({}, 1038, settings.brightEffect.load() == 0);
    text_ =
        AddSlider(*grid, 1, 1003, Pick(lang, "文字", "Text"), settings.textWait.current, noText_);
    character_ = AddSlider(*grid, 2, 1004, Pick(lang, "人物", "Character"),
                           settings.charWait.current, noCharacter_);
    background_ = AddSlider(*grid, 3, 1005, Pick(lang, "背景", "Background"),
                            settings.backWait.current, noBackground_);
    window_ = AddSlider(*grid, 4, 1006, Pick(lang, "ウィンドウ", "Window"),
                        settings.fadeWait.current, noWindow_);
    brightness_ = AddSlider(*grid, 5, 1007, Pick(lang, "明るさ", "Brightness"), settings.bright,
                            noBrightness_);
    jpeg_ = AddSlider(*grid, 6, 1008, Pick(lang, "JPEG保存時の\n画質", "Quarity of\nJPEG File"),
                      settings.jpeg, nullptr);
    auto* jpegScale = new QHBoxLayout;
    jpegScale->addWidget(new QLabel(Pick(lang, "悪い", "BAD")));
    jpegScale->addStretch();
    jpegScale->addWidget(new QLabel(Pick(lang, "良い", "GOOD")));
    grid->addLayout(jpegScale, 7, 1);

    useBgm_ = NamedCheck(Pick(lang, "BGMの演奏", "Use BGM"), 1009, settings.useCD.user.load());
    useSound_ =
        NamedCheck(Pick(lang, "効果音を使う", "Use Sound"), 1010, settings.usePCM.user.load());
    allowPrograms_ =
        NamedCheck(Pick(lang, "外部プログラムの起動を許可", "Allow To Excute Other Programs"), 1018,
                   settings.allowCommand.user.load());
    useGraphics_ = NamedCheck(Pick(lang, "グラフィックを読み込む", "Use Graphics"), 1019,
                              settings.useGpx.load());
    antiAlias_ = NamedCheck(Pick(lang, "人物の縁を滑らかにする", "Use Anti Alias for Charactor"),
                            1056, settings.useAntiAlias.load());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(Pick(lang, "キャンセル", "Cancel"));
    detailButton_ = buttons->addButton(Pick(lang, "詳細", "Detail"), QDialogButtonBox::ActionRole);
    detailButton_->setObjectName(QStringLiteral("button1047"));
    connect(detailButton_, &QPushButton::clicked, this, [this] { ToggleDetail(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    QWidget* general = BuildGeneral(grid, lang);
    keys_ = new KeysPage(settings.inputs, lang);
    // A tab bar over a stack rather than a QTabWidget, whose size is its largest page's: the
    // dialog takes the size of the page shown, so the keys list does not widen the first page,
    // whose Detail button widens the dialog.
    tabs_ = new QTabBar;
    tabs_->setExpanding(false);
    tabs_->addTab(Pick(lang, "全般", "General"));
    tabs_->addTab(Pick(lang, "キー", "Keys"));
    pages_ = new QStackedWidget;
    pages_->addWidget(general);
    pages_->addWidget(keys_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int page) { ShowPage(page); });
    ShowPage(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsDialog::ShowPage(int current) {
    for (int page = 0; page < pages_->count(); ++page) {
        const QSizePolicy::Policy policy =
            page == current ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        pages_->widget(page)->setSizePolicy(policy, policy);
    }
    pages_->setCurrentIndex(current);
    detailButton_->setVisible(current == 0);  // the wide part belongs to the first page
}

void SettingsDialog::ShowKeysPage(bool keys) {
    tabs_->setCurrentIndex(keys ? 1 : 0);
}

QWidget* SettingsDialog::BuildGeneral(QGridLayout* grid, int lang) {
    auto* main = new QVBoxLayout;
    main->addLayout(grid);
    for (QCheckBox* box : {useBgm_, useSound_, allowPrograms_, useGraphics_, antiAlias_}) {
        main->addWidget(box);
    }
    sound_ = new SoundSettingsGroup(settings_, lang);
    main->addWidget(sound_);
    main->addLayout(BuildReadingOn(lang));
    main->addStretch();
    detail_ = BuildDetail(lang);
    detail_->hide();
    auto* general = new QWidget;
    auto* generalLayout = new QHBoxLayout(general);
    generalLayout->addLayout(main);
    generalLayout->addWidget(detail_);
    return general;
}

QSlider* SettingsDialog::AddSlider(QGridLayout& grid, int row, int id, const QString& label,
                                   int value, QCheckBox* none) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QStringLiteral("slider%1").arg(id));
    slider->setRange(0, 100);
    slider->setValue(value);
    slider->setMinimumWidth(200);
    grid.addWidget(new QLabel(label), row, 0);
    grid.addWidget(slider, row, 1);
    if (none != nullptr) {
        grid.addWidget(none, row, 2, Qt::AlignHCenter);
        slider->setEnabled(!none->isChecked());
        connect(none, &QCheckBox::toggled, slider,
                [slider](bool off) { slider->setEnabled(!off); });
    }
    return slider;
}

QLayout* SettingsDialog::BuildReadingOn(int lang) {
    skipUnread_ = new QCheckBox(Pick(lang, "未読もスキップ", "Skip unread text too"));
    skipUnread_->setObjectName(QStringLiteral("skipUnread"));
    skipUnread_->setChecked(settings_.skipUnread.load() != 0);
    wrapAtSpaces_ =
        new QCheckBox(Pick(lang, "英文を単語の区切りで折り返す", "Wrap English text at spaces"));
    wrapAtSpaces_->setObjectName(QStringLiteral("wrapAtSpaces"));
    wrapAtSpaces_->setChecked(settings_.wrapAtSpaces.load() != 0);
    autoPace_ = new QSlider(Qt::Horizontal);
    autoPace_->setObjectName(QStringLiteral("autoPace"));
    autoPace_->setRange(0, app::Settings::kMaxAutoPace);
    autoPace_->setValue(std::clamp(settings_.autoPace.load(), 0, app::Settings::kMaxAutoPace));
    auto* layout = new QVBoxLayout;
    layout->addWidget(skipUnread_);
    layout->addWidget(wrapAtSpaces_);
    auto* pace = new QHBoxLayout;
    pace->addWidget(new QLabel(Pick(lang, "オートの速さ", "Auto pace")));
    pace->addWidget(new QLabel(Pick(lang, "早い", "Fast")));
    pace->addWidget(autoPace_, 1);
    pace->addWidget(new QLabel(Pick(lang, "遅い", "Slow")));
    layout->addLayout(pace);
    return layout;
}

QWidget* SettingsDialog::BuildDetail(int lang) {
    auto* detail = new QWidget;
    auto* layout = new QVBoxLayout(detail);
    auto* bookmarks = new QGroupBox(Pick(lang, "ブックマーク", "Bookmark"));
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(ShownFolder(settings_.bookmarkFolder));
    folder_->setObjectName(QStringLiteral("edit1054"));
    folder_->setMaxLength(kMaxFolderLength);
    folder_->setMinimumWidth(240);
    auto* choose = new QPushButton(Pick(lang, "変更", "..."));
    choose->setObjectName(QStringLiteral("button1055"));
    connect(choose, &QPushButton::clicked, this, [this, lang] { ChooseFolder(lang); });
    folderRow->addWidget(folder_);
    folderRow->addWidget(choose);
    auto* bookmarkLayout = new QVBoxLayout(bookmarks);
    bookmarkLayout->addLayout(folderRow);
    bookmarkLayout->addWidget(
        NamedCheck(Pick(lang, "常にここにセーブ", "always save here."), 1052, false));
    layout->addWidget(bookmarks);

    smooth_ = new QCheckBox(
        Pick(lang, "フルスクリーンで滑らかに拡大する", "Smooth scaling in full screen"));
    smooth_->setObjectName(QStringLiteral("smoothScaling"));
    smooth_->setChecked(desktop_.smoothScaling != 0);
    layout->addWidget(smooth_);
    askDisplayMode_ =
        new QCheckBox(Pick(lang, "起動時に表示モードを確認する", "Ask the display mode at start"));
    askDisplayMode_->setObjectName(QStringLiteral("askDisplayMode"));
    askDisplayMode_->setChecked(desktop_.askDisplayMode != 0);
    layout->addWidget(askDisplayMode_);

    auto* internet = new QGroupBox(Pick(lang, "インターネット", "Internet"));
    auto* form = new QFormLayout(internet);
    const char* names[4][2] = {{"最新版のダウンロード", "Download New Version"},
                               {"ブックのダウンロード", "Download Book"},
                               {"掲示板へ行く", "Message Board"},
                               {"ランキングへ投票", "Ranking"}};
    for (int i = 0; i < 4; ++i) {
        web_[i] = new QLineEdit(FromCp932(desktop_.webAddresses[i]));
        web_[i]->setObjectName(QStringLiteral("web%1").arg(i));
        form->addRow(Pick(lang, names[i][0], names[i][1]), web_[i]);
    }
    layout->addWidget(internet);
    readAlong_ = new ReadAlongBox(settings_.readAlong, lang);
    layout->addWidget(readAlong_);
    layout->addStretch();
    return detail;
}

void SettingsDialog::ChooseFolder(int lang) {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, FromCp932(script::PlayerMessage(lang, script::msg::kBookmarkFolderTitle)));
    if (!chosen.isEmpty()) {
        folder_->setText(ShownFolder(InsideFolder(chosen)));
    }
}

void SettingsDialog::ToggleDetail() {
    const bool wide = detail_->isHidden();
    detail_->setVisible(wide);
    pages_->updateGeometry();  // the dialog takes the new width now, not a turn later
    detailButton_->setText(wide ? Pick(langMode_, "戻す", "return")
                                : Pick(langMode_, "詳細", "Detail"));
}

bool SettingsDialog::DetailShown() const {
    return !detail_->isHidden();
}

SettingsDialog::Outcome SettingsDialog::Apply() {
    Outcome outcome;
    app::Settings& s = settings_;
    s.textWait.Set(text_->value());
    s.charWait.Set(character_->value());
    s.backWait.Set(background_->value());
    s.fadeWait.Set(window_->value());
    s.jpeg = jpeg_->value();
    s.useAntiAlias = antiAlias_->isChecked() ? 1 : 0;
    if (s.bright.exchange(brightness_->value()) != brightness_->value()) {
        outcome.redraw = true;
    }
    s.useCD.Set(useBgm_->isChecked() ? 1 : 0);
    s.usePCM.Set(useSound_->isChecked() ? 1 : 0);
    s.allowCommand.Set(allowPrograms_->isChecked() ? 1 : 0);
    sound_->Apply(s);
    // Leaving fast-forward restores the user copies, which keep what was read at start.
    s.textEffect.current = noText_->isChecked() ? 0 : 1;
    s.charEffect.current = noCharacter_->isChecked() ? 0 : 1;
    s.backEffect.current = noBackground_->isChecked() ? 0 : 1;
    s.fadeEffect.current = noWindow_->isChecked() ? 0 : 1;
    const int brightEffect = noBrightness_->isChecked() ? 0 : 1;
    if (s.brightEffect.exchange(brightEffect) != brightEffect) {
        outcome.redraw = true;
    }
    s.useGpx = useGraphics_->isChecked() ? 1 : 0;
    s.bookmarkFolder = InsideFolder(folder_->text());
    outcome.musicOff = s.useCD.user.load() == 0;
    desktop_.smoothScaling = smooth_->isChecked() ? 1 : 0;
    desktop_.askDisplayMode = askDisplayMode_->isChecked() ? 1 : 0;
    s.skipUnread = skipUnread_->isChecked() ? 1 : 0;
    s.wrapAtSpaces = wrapAtSpaces_->isChecked() ? 1 : 0;
    s.autoPace = autoPace_->value();
    for (int i = 0; i < 4; ++i) {
        desktop_.webAddresses[i] = ToCp932(web_[i]->text().trimmed());
    }
    readAlong_->Apply(s.readAlong);
    s.inputs = keys_->Bindings();
    return outcome;
}

}  // namespace talu::qt
