#pragma once

#include <QTranslator>

namespace talu::qt {

/// Qt's own texts (file dialogs, standard buttons, the edit menu of text fields) in the reader's
/// language: Japanese from Qt's translations where they are installed, else Qt's English.
class QtLanguage {
  public:
    /// Switches the application's Qt texts to language 0 (Japanese) or any other (English).
    /// Widgets made afterwards show the new texts.
    void Apply(int langMode);

  private:
    QTranslator japanese_;
    bool installed_ = false;
};

}  // namespace talu::qt
