// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "QtPrinters.h"
#include "RecordingDialog.h"
#include "SampleTemplate.h"
#include "qt/QtFileDialog.h"
#include "qt/QtHost.h"

namespace tavero::qt {
namespace {

namespace sample = headless::sample;
using headless::RecordingDialog;

/// Runs `act` on the modal widget in front as soon as the event loop of a modal run turns.
template <typename Widget>
void whenModal(std::function<void(Widget*)> act) {
    QTimer::singleShot(0, [act] {
        auto* widget = qobject_cast<Widget*>(QApplication::activeModalWidget());
        ASSERT_NE(widget, nullptr) << "no modal " << Widget::staticMetaObject.className();
        act(widget);
    });
}

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

/// Answers the next message box by clicking the button with text `answer`.
void answerNextBox(const QString& answer, ShownBox& shown) {
    whenModal<QMessageBox>([answer, &shown](QMessageBox* box) {
        shown = {box->windowTitle(), box->text(), box->icon(), {}};
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.buttons << button->text();
            if (button->text() == answer) {
                chosen = button;
            }
        }
        shown.buttons.sort();
        ASSERT_NE(chosen, nullptr) << answer.toStdString();
        chosen->click();
    });
}

class QtHostTest : public ::testing::Test {
protected:
    QtHost host_{res::TemplateSet{&sample::kTemplate, &sample::kConfirmTemplate}};
};

TEST_F(QtHostTest, MessageBoxesShowGermanButtonsAndReturnTheAnswer) {
    struct Case {
        ui::Buttons buttons;
        ui::Icon icon;
        const char* click;
        ui::Answer answer;
        QStringList texts;
        QMessageBox::Icon qtIcon;
    };
    const std::vector<Case> cases = {
        {ui::Buttons::Ok, ui::Icon::Error, "OK", ui::Answer::Ok, {"OK"}, QMessageBox::Critical},
        {ui::Buttons::YesNo,
         ui::Icon::Question,
         "Ja",
         ui::Answer::Yes,
         {"Ja", "Nein"},
         QMessageBox::Question},
        {ui::Buttons::YesNo,
         ui::Icon::Warning,
         "Nein",
         ui::Answer::No,
         {"Ja", "Nein"},
         QMessageBox::Warning},
        {ui::Buttons::YesNoCancel,
         ui::Icon::Information,
         "Abbrechen",
         ui::Answer::Cancel,
         {"Abbrechen", "Ja", "Nein"},
         QMessageBox::Information},
        {ui::Buttons::OkCancel,
         ui::Icon::None,
         "OK",
         ui::Answer::Ok,
         {"Abbrechen", "OK"},
         QMessageBox::NoIcon},
    };
    for (const Case& c : cases) {
        ShownBox shown;
        answerNextBox(QString::fromUtf8(c.click), shown);
        EXPECT_EQ(host_.messageBox("Zeile 1\n<b>Zeile 2</b>", "", c.icon, c.buttons), c.answer)
            << c.click;
        EXPECT_EQ(shown.title, QStringLiteral("Tavero"));
        EXPECT_EQ(shown.text, QStringLiteral("Zeile 1\n<b>Zeile 2</b>"));
        EXPECT_EQ(shown.icon, c.qtIcon) << c.click;
        EXPECT_EQ(shown.buttons, c.texts) << c.click;
    }
}

TEST_F(QtHostTest, MessageBoxesLeaveRoomForTheirCaptionAsTheScreenAllows) {
    for (const char* caption :
         {"Tavero", "Werkszustand wiederherstellen",
          "Tavero Bootloader starten - Firmwareupdates einspielen - bitte nicht trennen"}) {
        int width = 0;
        int needed = 0;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            width = box->width();
            // The caption beside the three buttons of a title bar, each as wide as it is high.
            const int titleBarButtons = 3 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
            needed =
                std::min(box->fontMetrics().horizontalAdvance(box->windowTitle()) + titleBarButtons,
                         box->screen()->availableGeometry().width());
            box->buttons().front()->click();
        });
        host_.messageBox("OK?", caption, ui::Icon::None, ui::Buttons::Ok);
        EXPECT_GT(needed, 0) << caption;
        EXPECT_GE(width, needed) << caption;
    }
}

TEST_F(QtHostTest, ModalDialogsNestAndReturnTheirResult) {
    RecordingDialog main(sample::kDialogId);
    RecordingDialog confirm(sample::kConfirmDialogId);
    int nestedResult = 0;
    QWidget* boxParent = nullptr;
    main.whenCommand = [&](int) {
        whenModal<QDialog>([&](QDialog* dialog) {
            boxParent = dialog->parentWidget();
            dialog->findChild<QPushButton*>(QString::number(res::kIdOk))->click();
        });
        nestedResult = main.host().runModal(confirm);
        main.window().endDialog(42);
    };
    whenModal<QDialog>([](QDialog* dialog) {
        dialog->findChild<QPushButton*>(QString::number(sample::kButton))->click();
    });
    EXPECT_EQ(host_.runModal(main), 42);
    EXPECT_EQ(nestedResult, res::kIdOk);
    EXPECT_NE(boxParent, nullptr);
    EXPECT_EQ(confirm.events, (std::vector<std::string>{"init", "ok"}));
    EXPECT_EQ(host_.frontWidget(), QApplication::activeWindow());

    RecordingDialog unknown(4711);
    EXPECT_EQ(host_.runModal(unknown), -1);
}

TEST_F(QtHostTest, FileFiltersBecomeQtNameFiltersThatMatchEveryName) {
    EXPECT_EQ(qtNameFilters("Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|"),
              (QStringList{"Tavero Profildateien (.tvr) (*.tvr)", "Alle Dateien (*.*) (*)"}));
    EXPECT_EQ(qtNameFilters("Bilder|*.png;*.jpg|"), QStringList{"Bilder (*.png *.jpg)"});
}

TEST_F(QtHostTest, SaveFileDialogFollowsTheRequestAndAddsTheDefaultExtension) {
    const QString folder = QDir::temp().filePath(QStringLiteral("tavero-qt-files"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const ui::FileDialogRequest request{"Speichern unter",
                                        "Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|",
                                        1,
                                        "tvr",
                                        folder.toStdString(),
                                        true};
    QStringList shown;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        shown << dialog->windowTitle() << dialog->selectedNameFilter() << dialog->defaultSuffix()
              << dialog->directory().absolutePath();
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->selectFile(QStringLiteral("liste"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept is protected
    });
    const auto chosen = host_.chooseFileToSave(request);
    // The user sees the description alone, exactly as given.
    EXPECT_EQ(shown, (QStringList{"Speichern unter", "Alle Dateien (*.*)", "tvr", folder}));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QString::fromStdString(chosen->string()), folder + QStringLiteral("/liste.tvr"));

    whenModal<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->reject();
    });
    EXPECT_EQ(host_.chooseFileToOpen(request), std::nullopt);
    QDir(folder).removeRecursively();
}

TEST_F(QtHostTest, DataFolderIsTheApplicationsDataLocationNamedTavero) {
    EXPECT_EQ(host_.dataFolder().filename(), "Tavero");
    EXPECT_EQ(QString::fromStdString(host_.dataFolder().string()),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

TEST_F(QtHostTest, FileDialogsStartInTheDocumentsFolderOnlyWhenItExistsAndMakeNone) {
    const QByteArray home = qgetenv("HOME");
    const QString fresh = QDir::temp().filePath(
        QStringLiteral("tavero-home-%1").arg(QCoreApplication::applicationPid()));
    QDir(fresh).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(fresh));
    qputenv("HOME", fresh.toUtf8());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(fresh));

    EXPECT_EQ(QString::fromStdString(host_.documentsFolder().string()), fresh);
    EXPECT_FALSE(QFileInfo::exists(documents));
    ASSERT_TRUE(QDir().mkpath(documents));
    EXPECT_EQ(QString::fromStdString(host_.documentsFolder().string()), documents);

    qputenv("HOME", home);
    QDir(fresh).removeRecursively();
}

TEST_F(QtHostTest, WaitCursorIsSetOnceAndTakenBack) {
    host_.setWaitCursor(true);
    host_.setWaitCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host_.setWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    host_.setWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tavero::qt
