// Help, TALU Tags and About: where the documents are looked for, what opens, and the box that
// says where a missing document was looked for.
#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "frontend/qt/about_box.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/help_documents.h"
#include "window_rig.h"

namespace talu::qt {
namespace {

/// Stands in for the desktop's browser: remembers every file it is asked to open.
class Browser : public QObject {
    Q_OBJECT
  public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
  public slots:
    void Open(const QUrl& url) { opened << url; }
};

void WritePage(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
}

}  // namespace

class HelpTests : public QObject, test::WindowRig {
    Q_OBJECT

  private slots:
    // The window's Help and TALU Tags, run from the build tree, open the build's documents in
    // the reader's language.
    void TheMenuOpensTheDocumentsInTheReadersLanguage() {
        OpenWindow();
        Browser browser;
        test::ModalDriver driver(QMessageBox::Ok);
        window_->RunCommand(command::kHelp);
        window_->RunCommand(command::kJapanese);
        window_->RunCommand(command::kTags);
        const QString help = QDir::cleanPath(QStringLiteral(TALU_BUILD_HELP_DIR));
        QCOMPARE(browser.opened, QList<QUrl>({QUrl::fromLocalFile(help + "/en/index.html"),
                                              QUrl::fromLocalFile(help + "/tags/ja/index.html")}));
        QTest::qWait(20);
        QVERIFY2(driver.seen.isEmpty(), "a document that is found opens without a box");
        CloseWindow();
    }

    // The reader's language first in every folder, then the other language; the guide and the
    // tag reference are told apart.
    void DocumentsAreFoundInTheReadersLanguageFirst() {
        QTemporaryDir first;
        QTemporaryDir second;
        const QStringList folders = {first.path(), second.path()};
        WritePage(second.path() + "/en/index.html");
        WritePage(second.path() + "/ja/index.html");
        WritePage(first.path() + "/tags/en/index.html");

        DocumentSearch search = FindHelpDocument(HelpDocument::kGuide, 0, folders);
        QCOMPARE(search.found, second.path() + "/ja/index.html");
        QCOMPARE(search.tried, QStringList({first.path() + "/ja/index.html", search.found}));

        search = FindHelpDocument(HelpDocument::kTags, 0, folders);
        QCOMPARE(search.found, first.path() + "/tags/en/index.html");
        QCOMPARE(search.tried.size(), 3);

        QFile::remove(second.path() + "/en/index.html");
        search = FindHelpDocument(HelpDocument::kGuide, 1, folders);
        QCOMPARE(search.found, second.path() + "/ja/index.html");
    }

    void TheBuildTreeIsLookedInOnlyWhenRunFromIt() {
        const QStringList installed = HelpFolders(QStringLiteral("/opt/talu/bin"));
        QCOMPARE(installed.first(), QStringLiteral("/opt/talu/share/talu/help"));
        QVERIFY(!installed.contains(QStringLiteral(TALU_BUILD_HELP_DIR)));

        const QStringList here = HelpFolders(QCoreApplication::applicationDirPath());
        QCOMPARE(here.first(), QDir::cleanPath(QStringLiteral(TALU_BUILD_HELP_DIR)));
        // The documents the build made, in both languages.
        for (int langMode : {0, 1}) {
            for (HelpDocument document : {HelpDocument::kGuide, HelpDocument::kTags}) {
                const DocumentSearch search = FindHelpDocument(document, langMode, here);
                QVERIFY2(search.found.startsWith(here.first()), qPrintable(search.found));
                QVERIFY(search.found.contains(langMode == 0 ? "/ja/" : "/en/"));
            }
        }
    }

    void AMissingDocumentSaysWhereItWasLookedFor() {
        QTemporaryDir first;
        QTemporaryDir second;
        Browser browser;
        test::ModalDriver driver(QMessageBox::Ok);
        QVERIFY(!OpenHelpDocument(nullptr, HelpDocument::kGuide, 1, {first.path(), second.path()}));
        QVERIFY(browser.opened.isEmpty());
        QCOMPARE(driver.seen.size(), 1);
        const QString text = driver.seen.first();
        QVERIFY2(text.startsWith("The reader's guide was not found"), qPrintable(text));
        for (const QString& path :
             FindHelpDocument(HelpDocument::kGuide, 1, {first.path(), second.path()}).tried) {
            QVERIFY2(text.contains(path), qPrintable(path));
        }
    }

    void AboutNamesEveryLinkedLibraryWithItsLicence() {
        for (int langMode : {0, 1}) {
            test::ModalDriver driver(QMessageBox::Ok);
            ShowAboutBox(nullptr, langMode);
            QCOMPARE(driver.seen.size(), 1);
            const QString text = driver.seen.first();
            for (const char* part :
                 {"Qt 6", "LGPL 3", "SDL2<", "SDL2_image", "SDL2_mixer", "FluidSynth", "LGPL 2.1",
                  "FreeType", "fontconfig", "libarchive", "BSD 2-Clause", "libjpeg", "IJG"}) {
                QVERIFY2(text.contains(QLatin1String(part)), part);
            }
        }
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::HelpTests)
#include "help_tests.moc"
