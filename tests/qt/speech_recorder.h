#pragma once

// A speech engine for the tests, "talu-recorder": it speaks nothing and keeps what it was asked,
// so read-aloud is checked without a sound card or an installed voice. It offers Japanese only.
#include <QLocale>
#include <QString>
#include <QStringList>

namespace talu::test {

/// What every recorder engine was asked, in order.
struct SpeechLog {
    QStringList said;
    int stops = 0;
    /// The language of the last say.
    QLocale::Language language = QLocale::AnyLanguage;
};

/// A copy of the log; the engines write it on the speech thread.
SpeechLog RecordedSpeech();
void ClearRecordedSpeech();

}  // namespace talu::test
