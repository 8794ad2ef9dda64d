#include "ui/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSettings>

#include "form/translate.h"

namespace zelk {

namespace {
constexpr const char* kLanguageKey = "language";

bool known(const QString& code) {
    for (const Language& l : kLanguages)
        if (code == QLatin1String(l.code)) return true;
    return false;
}

QString settingsFile(const QString& dataDir) { return dataDir + QStringLiteral("/editor.ini"); }
}  // namespace

QString keptLanguage(const QString& dataDir) {
    const QString code = QSettings(settingsFile(dataDir), QSettings::IniFormat).value(kLanguageKey).toString();
    return known(code) ? code : QString();
}

bool keepLanguage(const QString& dataDir, const QString& code) {
    QSettings ini(settingsFile(dataDir), QSettings::IniFormat);
    if (code.isEmpty()) ini.remove(kLanguageKey);
    else ini.setValue(kLanguageKey, code);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString languageFor(const QString& choice, const QLocale& system) {
    if (known(choice)) return choice;
    // The user's languages in the order of preference (LANGUAGE, LC_MESSAGES...):
    // the first the editor speaks.
    for (const QString& ui : system.uiLanguages()) {
        QString code = QLocale::languageToCode(QLocale(ui).language());
        if (known(code)) return code;
    }
    return QStringLiteral("en");
}

QStringList translationFolders() {
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/translations"), dir + QStringLiteral("/../share/zelkvelq/translations")};
}

std::string QtTextTranslator::translate(const char* context, const char* text) const {
    return QCoreApplication::translate(context, text).toStdString();
}

QtTextsInUse::QtTextsInUse() { useTranslator(&texts_); }
QtTextsInUse::~QtTextsInUse() { useTranslator(nullptr); }

Translations::~Translations() {
    for (auto& t : installed_) QCoreApplication::removeTranslator(t.get());
}

bool Translations::load(const QString& code, const QStringList& folders) {
    error_.clear();
    if (code == QLatin1String("en")) return true;
    const QString file = QStringLiteral("zelkvelq_") + code;
    auto own = std::make_unique<QTranslator>();
    bool found = false;
    for (const QString& folder : folders)
        if ((found = own->load(file, folder))) break;
    if (!found) {
        error_ = QStringLiteral("%1.qm was not found in %2").arg(file, folders.join(QStringLiteral(", ")));
        return false;
    }
    QCoreApplication::installTranslator(own.get());
    installed_.push_back(std::move(own));
    // Qt's own texts; without them its buttons stay English.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        installed_.push_back(std::move(qt));
    }
    return true;
}

}  // namespace zelk
