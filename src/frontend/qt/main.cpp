// talu: the desktop player.
#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "app/settings.h"
#include "frontend/qt/desktop_settings.h"
#include "frontend/qt/key_text.h"
#include "frontend/qt/launch_options.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/qt_settings_store.h"
#include "host/fonts/fontconfig_match.h"
#include "host/installed_data.h"
#include "host/paths.h"

namespace {

/// Qt would abort without a display; say so plainly instead.
bool DisplayAvailable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    talu::qt::LaunchOptions launch;
    std::string error;
    std::error_code cwdError;
    const std::filesystem::path here = std::filesystem::current_path(cwdError);
    if (!talu::qt::ParseLaunch(arguments, here, launch, error)) {
        std::cerr << "talu: " << error << "\n\n" << talu::qt::LaunchUsage();
        return 2;
    }
    if (launch.help) {
        std::cout << talu::qt::LaunchUsage();
        return 0;
    }
    if (launch.version) {
        std::cout << "talu " << TALU_VERSION << " (TALU Version 2.10.99.1011)\n";
        return 0;
    }
    if (!DisplayAvailable()) {
        std::cerr << "talu: no display to open a window on (DISPLAY is not set).\n"
                     "talu-cli run BOOK plays a book without one.\n";
        return 1;
    }
    // The font configuration loads on the other core while Qt starts, instead of before the
    // first page.
    std::thread fontWarmUp(talu::host::PrepareFontMatching);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talu"));
    QApplication::setOrganizationName(QStringLiteral("Velmor"));

    talu::qt::QtSettingsStore store;
    talu::app::Settings settings;
    // Books that cannot keep bookmarks beside themselves keep them in the reader's own data
    // folder, which the program's folder (often not writable) is not.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    settings.Read(store, data.isEmpty()
                             ? talu::host::ProgramFolder()
                             : talu::host::InsidePathFromHost(data.toStdString()) + "\\");
    // A hand-edited name no key press gives would sit in the keys page binding nothing.
    talu::qt::DropUnknownKeys(settings.inputs);
    talu::qt::DesktopSettings desktop;
    desktop.Read(store);
    // Started from the desktop's menu with no book, an installed player shows its demo.
    if (launch.book.empty() && !launch.singleBook) {
        launch.book = talu::host::InstalledDemoBook().value_or(std::filesystem::path());
    }
    if (launch.langMode) {
        settings.langMode = *launch.langMode;
    }

    talu::qt::MainWindow window(settings, desktop, store, launch);
    window.show();
    if (!launch.book.empty()) {
        window.OpenBook(launch.book);
    }
    const int status = application.exec();
    fontWarmUp.join();
    return status;
}
