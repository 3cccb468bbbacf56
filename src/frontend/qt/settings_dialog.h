#pragma once

#include <QDialog>
#include <string>

#include "app/settings.h"
#include "frontend/qt/desktop_settings.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabBar;

namespace talu::qt {

class KeysPage;
class ReadAlongBox;
class SoundSettingsGroup;

/// The Setting dialog: speeds, brightness and JPEG quality on sliders, the effects' None boxes,
/// the media switches, the volumes and, in its wide part, the bookmark folder, smooth full-screen
/// scaling, the Internet addresses and reading along (clipboard, read-aloud, text feed); a second
/// page holds the reader's keys and gamepad buttons. Controls are named by their old ids
/// ("slider1003", "check1034", ...).
class SettingsDialog : public QDialog {
  public:
    /// What OK changed that the window must act on.
    struct Outcome {
        /// Brightness or its switch changed: the stage is repainted.
        bool redraw = false;
        /// Music was switched off: it stops.
        bool musicOff = false;
    };

    /// Speeds and brightness above 99 become 99 first (in settings too).
    SettingsDialog(app::Settings& settings, DesktopSettings& desktop, int langMode,
                   QWidget* parent = nullptr);

    /// Reads the controls back into the settings (as OK does) and says what changed.
    Outcome Apply();
    /// Opens or closes the wide part, as the Detail button does.
    void ToggleDetail();
    bool DetailShown() const;
    /// The clipboard, read-aloud and text feed part.
    ReadAlongBox& ReadAlongPart() { return *readAlong_; }
    /// The keys and gamepad buttons page.
    KeysPage& KeysPart() { return *keys_; }
    /// Shows the keys page (true) or the first one.
    void ShowKeysPage(bool keys);

  private:
    QSlider* AddSlider(QGridLayout& grid, int row, int id, const QString& label, int value,
                       QCheckBox* none);
    /// The first page: the sliders and switches, with the wide part beside them.
    QWidget* BuildGeneral(QGridLayout* grid, int langMode);
    QWidget* BuildDetail(int langMode);
    /// Skip unread text too, and auto's pace.
    QLayout* BuildReadingOn(int langMode);
    void ChooseFolder(int langMode);
    /// Shows a page; the dialog takes its size.
    void ShowPage(int current);

    app::Settings& settings_;
    DesktopSettings& desktop_;
    QSlider* text_ = nullptr;
    QSlider* character_ = nullptr;
    QSlider* background_ = nullptr;
    QSlider* window_ = nullptr;
    QSlider* brightness_ = nullptr;
    QSlider* jpeg_ = nullptr;
    QCheckBox* noText_ = nullptr;
    QCheckBox* noCharacter_ = nullptr;
    QCheckBox* noBackground_ = nullptr;
    QCheckBox* noWindow_ = nullptr;
    QCheckBox* noBrightness_ = nullptr;
    QCheckBox* useBgm_ = nullptr;
    QCheckBox* useSound_ = nullptr;
    QCheckBox* allowPrograms_ = nullptr;
    QCheckBox* useGraphics_ = nullptr;
    QCheckBox* antiAlias_ = nullptr;
    SoundSettingsGroup* sound_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QCheckBox* askDisplayMode_ = nullptr;
    QCheckBox* skipUnread_ = nullptr;
    QCheckBox* wrapAtSpaces_ = nullptr;
    QSlider* autoPace_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* web_[4] = {};
    QPushButton* detailButton_ = nullptr;
    QWidget* detail_ = nullptr;
    ReadAlongBox* readAlong_ = nullptr;
    KeysPage* keys_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    int langMode_ = 0;
};

}  // namespace talu::qt
