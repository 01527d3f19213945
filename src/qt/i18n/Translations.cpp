// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/i18n/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>

namespace tavero::qt {
namespace {

bool loadFromFirst(QTranslator& translator, const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        if (translator.load(name, folder)) {
            return true;
        }
    }
    return false;
}

}  // namespace

Translations::Translations(Language language, const QStringList& catalogueFolders) {
    switch (language) {
        case Language::German:
            // The program's own texts are German already; only Qt's dialogs and buttons need it.
            complete_ = qt_.load(QStringLiteral("qtbase_de"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            break;
        case Language::English:
            // Qt's own texts are English already.
            complete_ = loadFromFirst(program_, QStringLiteral("tavero_en"), catalogueFolders);
            break;
    }
    QCoreApplication::installTranslator(&program_);
    QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&qt_);
    QCoreApplication::removeTranslator(&program_);
}

QStringList Translations::defaultCatalogueFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder + QStringLiteral("/../share/tavero/translations"), programFolder};
}

}  // namespace tavero::qt
