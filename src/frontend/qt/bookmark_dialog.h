#pragma once

#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <string>

#include "app/bookmark_manager.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace talu::qt {

/// The bookmark dialog: slots 1 to 9 as " DATE - COMMENT" lines, each with its number beside
/// it, the picture of the selected
/// slot beside them, and Save, Load, Save with comment, Initialize and Cancel. It only chooses:
/// the window confirms and carries out the Save or Load it ends with. Controls are named
/// ("slots", "picture", "save", "load", "saveWithComment", "initialize", "cancel").
class BookmarkDialog : public QDialog {
    Q_OBJECT

  public:
    /// The full form, or the load-only form that an automatic book offers.
    enum class Form { kFull, kLoadOnly };
    /// What the dialog ended with.
    struct Choice {
        enum class Kind { kCancel, kSave, kLoad };
        Kind kind = Kind::kCancel;
        /// 1 to 9.
        int slot = 0;
        /// The comment (CP932) for a Save: empty unless Save with comment gave one.
        std::string comment;
    };
    /// Where the dialog gets its slots; every function must be set.
    struct SlotSource {
        /// Slots 1 to 9 as they are now.
        std::function<std::array<app::SlotSummary, 9>()> list;
        /// The picture kept beside a slot; a null image when it has none.
        std::function<QImage(int slot)> picture;
        /// Initialize: asks the reader and initialises the slot; the list is read again after.
        std::function<void(int slot)> initialize;
    };

    /// selected (1 to 9) is the slot selected at first; savingAllowed is false in the automatic
    /// modes.
    BookmarkDialog(int langMode, Form form, bool savingAllowed, int selected, SlotSource source,
                   QWidget* parent = nullptr);

    const Choice& Chosen() const { return choice_; }
    /// Selects a slot (1 to 9), as a click on its line does.
    void Select(int slot);

  private:
    void Refresh();
    void SelectionChanged();
    int SelectedSlot() const;
    void Finish(Choice::Kind kind, std::string comment);
    void SaveWithComment();

    int langMode_;
    Form form_;
    bool savingAllowed_;
    SlotSource slots_;
    std::array<app::SlotSummary, 9> list_;
    Choice choice_;
    QListWidget* lines_ = nullptr;
    QLabel* picture_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* saveWithComment_ = nullptr;
    QPushButton* initialize_ = nullptr;
};

/// The comment dialog of Save with comment: one field holding the slot's comment. Its field is
/// named "comment".
class CommentDialog : public QDialog {
    Q_OBJECT

  public:
    /// comment is CP932.
    CommentDialog(int langMode, const std::string& comment, QWidget* parent = nullptr);
    /// The field's text in CP932.
    std::string Comment() const;

  private:
    QLineEdit* field_ = nullptr;
};

}  // namespace talu::qt
