#pragma once

#include <atomic>
#include <string>
#include <string_view>

// Script problems never stop a book: they are shown to the author in a modal box and the
// failing operation gives up. The box text is built here; a frontend shows it.
namespace talu::script {

/// A frontend's modal message box (caption "talu", one OK button).
class MessageBoxHost {
  public:
    virtual ~MessageBoxHost() = default;
    /// Shows text (CP932, lines separated by "\n") and returns when the box is closed.
    virtual void ShowMessageBox(std::string_view text) = 0;
};

/// Builds script-error boxes in the language chosen at the moment they are shown.
class Diagnostics {
  public:
    explicit Diagnostics(MessageBoxHost& host, int langMode = 0)
        : host_(host), langMode_(langMode) {}

    /// The language setting (0 Japanese, 1 English); may change from another thread.
    void SetLangMode(int langMode) { langMode_.store(langMode); }
    int LangMode() const { return langMode_.load(); }

    /// The box text: the "Syntax Error." title, the item text, an empty line, the message.
    std::string SyntaxErrorText(std::string_view itemText, std::string_view message) const;
    /// Shows a syntax-error box for the item the book fetched last.
    void ReportSyntaxError(std::string_view itemText, std::string_view message);
    /// Formats script error code with argument and reports it as a syntax error.
    void ReportScriptError(std::string_view itemText, int code, std::string_view argument);
    /// Shows a box with exactly this text.
    void ShowPlainBox(std::string_view text) { host_.ShowMessageBox(text); }

  private:
    MessageBoxHost& host_;
    std::atomic<int> langMode_;
};

}  // namespace talu::script
