#include "frontend/qt/stage_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <vector>

#include "frontend/qt/stage_view.h"

namespace talu::qt {
namespace {

/// A link of the page as a button. It has no widget of its own: its place is the stage's.
class LinkAccessible : public QAccessibleInterface {
  public:
    LinkAccessible(QWidget* stage, QString text) : stage_(stage), text_(std::move(text)) {}

    bool isValid() const override { return !stage_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return stage_ ? stage_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return stage_ ? QAccessible::queryAccessibleInterface(stage_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? text_ : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        return stage_ ? QRect(stage_->mapToGlobal(QPoint(0, 0)), stage_->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = stage_.isNull() || !stage_->isVisible();
        return state;
    }

  private:
    QPointer<QWidget> stage_;
    QString text_;
};

/// The stage as a read-only document holding the page's text, with the links as buttons.
class StageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit StageAccessible(QWidget* stage) : QAccessibleWidget(stage, QAccessible::Document) {}
    ~StageAccessible() override { ForgetLinks(); }

    void SetPage(const QString& text, const QStringList& links) {
        ForgetLinks();
        text_ = text;
        for (const QString& link : links) {
            links_.push_back(
                QAccessible::registerAccessibleInterface(new LinkAccessible(widget(), link)));
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? text_ : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(links_.size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) {
            return QAccessibleWidget::child(index);
        }
        const auto link = static_cast<std::size_t>(index - widgets);
        return link < links_.size() ? QAccessible::accessibleInterface(links_[link]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < links_.size(); ++i) {
            if (QAccessible::accessibleInterface(links_[i]) == child) {
                return QAccessibleWidget::childCount() + static_cast<int>(i);
            }
        }
        return QAccessibleWidget::indexOfChild(child);
    }

    // The text, read-only: no caret, no selection.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return text_.mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(text_.size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return QString();
    }

  private:
    void ForgetLinks() {
        for (const QAccessible::Id id : links_) {
            QAccessible::deleteAccessibleInterface(id);
        }
        links_.clear();
    }

    QString text_;
    std::vector<QAccessible::Id> links_;
};

QAccessibleInterface* StageFactory(const QString&, QObject* object) {
    auto* stage = dynamic_cast<StageView*>(object);
    return stage != nullptr ? new StageAccessible(stage) : nullptr;
}

}  // namespace

void InstallStageAccessibility() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(StageFactory);
        installed = true;
    }
}

void AnnouncePage(StageView& view, const QString& text, const QStringList& links) {
    auto* stage = dynamic_cast<StageAccessible*>(QAccessible::queryAccessibleInterface(&view));
    if (stage == nullptr) {
        return;  // the factory was not installed
    }
    const QString old = stage->text(QAccessible::Name);
    stage->SetPage(text, links);
    QAccessibleTextUpdateEvent changed(&view, 0, old, text);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent reordered(&view, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reordered);
}

}  // namespace talu::qt
