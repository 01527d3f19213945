// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTranslator>

#include "qt/i18n/Language.h"

namespace tavero::qt {

/// The program's catalogue and Qt's own translations for one language, installed into the
/// running application while this object lives. A catalogue that is not found leaves its texts
/// as they are (German for the program's, English for Qt's).
class Translations {
public:
    /// @param catalogueFolders where the program's compiled catalogue is looked for, in order
    Translations(Language language, const QStringList& catalogueFolders);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    /// Whether every catalogue the language needs was found.
    bool complete() const { return complete_; }

    /// Beside the installed program (../share/tavero/translations), then the program's own
    /// folder, where the build tree puts the catalogue.
    static QStringList defaultCatalogueFolders();

private:
    QTranslator program_;
    QTranslator qt_;
    bool complete_ = false;
};

}  // namespace tavero::qt
