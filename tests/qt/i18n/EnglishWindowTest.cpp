// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "ModelOnBridge.h"
#include "app/CTaveroDlg.h"
#include "link/Connection.h"
#include "qt/QtFileDialog.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "qt/i18n/Translations.h"
#include "res/MainWindowIds.h"
#include "res/MainWindowTemplate.h"
#include "res/ProgramTemplates.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"

namespace tavero::qt {
namespace {

/// The main window against the simulated generator, connected, in one language.
struct ConnectedMainWindow {
    explicit ConnectedMainWindow(const std::filesystem::path& dataHome)
        : trace(dataHome / "out.txt") {
        window.open();
        window.widget().show();
        QTest::mouseClick(button(res::kButtonConnection), Qt::LeftButton);
    }

    QPushButton* button(int id) {
        return window.widget().findChild<QPushButton*>(QString::number(id));
    }

    std::filesystem::path trace;
    std::ostringstream diagnostics;
    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    QtHost host{res::programTemplates()};
    store::AtomicFileWriter fileWriter;
    tavero::testing::ModelOnBridge generatorModel{bridge, trace, diagnostics};
    app::CTaveroDlg dialog{generatorModel.model, fileWriter};
    QtWindow window{host, res::kMainWindowTemplate, dialog, nullptr};
};

QStringList menuTitles(const QWidget& window) {
    QStringList titles;
    for (const QAction* action : window.findChild<QMenuBar*>()->actions()) {
        titles << action->text();
    }
    return titles;
}

TEST(EnglishWindowTest, MainWindowSpeaksEnglishBesideTheGermanOne) {
    const std::filesystem::path dataHome =
        std::filesystem::temp_directory_path() / "tavero-i18n-window";
    std::filesystem::remove_all(dataHome);
    std::filesystem::create_directories(dataHome);
    QStandardPaths::setTestModeEnabled(false);
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);

    const struct {
        Language language;
        const char* connectButton;
        const char* frequencyGroup;
        QStringList menus;  ///< with their mnemonics
        Qt::Key firstMenuKey;
    } cases[] = {
        {Language::English,
         "Deactivate PC connection",
         "Frequency",
         {"&File", "&Settings", "&Measure", "&Help"},
         Qt::Key_F},
        {Language::German,
         "PC-Verbindung deaktivieren",
         "Frequenz",
         {"&Datei", "&Einstellungen", "&Messen", "&Info"},
         Qt::Key_D},
    };
    QImage shots[2];
    for (int i = 0; i < 2; ++i) {
        const Translations translations(cases[i].language, {TAVERO_CATALOGUE_DIR});
        ConnectedMainWindow main(dataHome);
        ASSERT_TRUE(main.dialog.connected());
        EXPECT_EQ(main.button(res::kButtonConnection)->text().toStdString(),
                  cases[i].connectButton);
        QStringList groups;
        for (const QGroupBox* group : main.window.widget().findChildren<QGroupBox*>()) {
            groups << group->title();
        }
        EXPECT_TRUE(groups.contains(cases[i].frequencyGroup)) << groups.join(',').toStdString();
        EXPECT_EQ(menuTitles(main.window.widget()), cases[i].menus);
        // Alt and the first menu's letter open it.
        main.window.widget().activateWindow();
        QCoreApplication::processEvents();
        ASSERT_TRUE(main.window.widget().isActiveWindow());
        QTest::keyClick(main.button(res::kButtonConnection), cases[i].firstMenuKey,
                        Qt::AltModifier);
        const QMenu* first = main.window.widget().findChild<QMenuBar*>()->actions()[0]->menu();
        EXPECT_TRUE(first->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        EXPECT_FALSE(first->isVisible());
        // The combo shows the stored names as the file holds them, in every language.
        EXPECT_EQ(main.window.widget().findChild<QComboBox*>()->itemText(0).toStdString(),
                  "1: -- leeres Profil --");
        shots[i] = main.window.widget().grab().toImage();
    }
    std::filesystem::remove_all(dataHome);

    QImage sideBySide(shots[0].width() + shots[1].width(),
                      std::max(shots[0].height(), shots[1].height()), QImage::Format_ARGB32);
    sideBySide.fill(Qt::white);
    QPainter painter(&sideBySide);
    painter.drawImage(0, 0, shots[0]);
    painter.drawImage(shots[0].width(), 0, shots[1]);
    painter.end();
    EXPECT_TRUE(sideBySide.save(QStringLiteral(TAVERO_TEST_OUTPUT_DIR "/main-window-en-de.png")));
}

TEST(EnglishWindowTest, MessageBoxesAndFileFiltersSpeakEnglish) {
    const Translations translations(Language::English, {TAVERO_CATALOGUE_DIR});
    QtHost host{res::programTemplates()};
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown << box->windowTitle() << box->text();
        for (QAbstractButton* button : box->buttons()) {
            shown << button->text();
        }
        box->buttons().front()->click();
    });
    host.messageBox(link::kConnectFailedText, link::kConnectionErrorCaption, ui::Icon::Error,
                    ui::Buttons::YesNoCancel);
    ASSERT_EQ(shown.size(), 5);
    EXPECT_EQ(shown[0], "Connection error");
    EXPECT_TRUE(shown[1].startsWith("No data connection to the Tavero could be established."));
    QStringList buttons = shown.mid(2);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Cancel", "No", "Yes"}));

    EXPECT_EQ(qtNameFilters("Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|"),
              (QStringList{"Tavero profile files (.tvr) (*.tvr)", "All files (*.*) (*)"}));
}

}  // namespace
}  // namespace tavero::qt
