#include "frontend/qt/sound_settings_group.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSlider>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QSlider* VolumeSlider(const char* name, int value) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, 100);
    slider->setValue(value);
    slider->setMinimumWidth(200);
    return slider;
}

}  // namespace

SoundSettingsGroup::SoundSettingsGroup(const app::Settings& settings, int lang)
    : QGroupBox(Pick(lang, "音量", "Volume")) {
    music_ = VolumeSlider("musicVolume", settings.musicVolume.load());
    sound_ = VolumeSlider("soundVolume", settings.soundVolume.load());
    muteInBackground_ =
        new QCheckBox(Pick(lang, "バックグラウンドでは消音する", "Mute while in the background"));
    muteInBackground_->setObjectName(QStringLiteral("muteInBackground"));
    muteInBackground_->setChecked(settings.muteInBackground.load() != 0);
    auto* form = new QFormLayout(this);
    form->addRow(Pick(lang, "BGM", "Music"), music_);
    form->addRow(Pick(lang, "効果音", "Sound"), sound_);
    form->addRow(muteInBackground_);
}

void SoundSettingsGroup::Apply(app::Settings& settings) const {
    settings.musicVolume = music_->value();
    settings.soundVolume = sound_->value();
    settings.muteInBackground = muteInBackground_->isChecked() ? 1 : 0;
}

}  // namespace talu::qt
