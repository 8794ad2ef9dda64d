// translations.h - the window in the user's language.
//
// English, the texts as the code writes them, is the source and the
// default.  Another language is a Qt translation file, zelkvelq_<code>.qm,
// found beside the program (translations/, the build tree) or in
// share/zelkvelq/translations (installed); Qt's own texts (the message
// boxes' buttons, the file dialogs) come from Qt's qtbase_<code>.qm.  The
// language is the system's unless the user chose one in Options >
// Language, which is kept in editor.ini in the data folder and takes
// effect at the next start.
#ifndef ZELK_UI_TRANSLATIONS_H
#define ZELK_UI_TRANSLATIONS_H

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <array>
#include <memory>
#include <vector>

#include "form/services.h"

namespace zelk {

// A language the editor speaks: its code and its name in itself (a
// language's own name is how a user who does not read the current one
// finds it).
struct Language {
    const char* code;
    const char* name;
};
inline constexpr std::array<Language, 2> kLanguages = {{{"en", "English"}, {"de", "Deutsch"}}};

// The choice kept in `dataDir`/editor.ini: a code of kLanguages, or ""
// for the system's language (also when nothing or something unknown is
// kept).
QString keptLanguage(const QString& dataDir);
bool keepLanguage(const QString& dataDir, const QString& code);
// The language to load for a choice ("" follows `system`): a code of kLanguages.
QString languageFor(const QString& choice, const QLocale& system);

// Where zelkvelq_<code>.qm is looked for, in order.
QStringList translationFolders();

// The logic's texts through Qt's translators.
class QtTextTranslator : public Translator {
public:
    std::string translate(const char* context, const char* text) const override;
};

// While this lives, the logic's texts (translate(), form/translate.h) go
// through Qt's translators: the window's and the logic's texts alike.
class QtTextsInUse {
public:
    QtTextsInUse();
    ~QtTextsInUse();
    QtTextsInUse(const QtTextsInUse&) = delete;
    QtTextsInUse& operator=(const QtTextsInUse&) = delete;

private:
    QtTextTranslator texts_;
};

// The translators of one language, installed into the application for
// as long as this lives.
class Translations {
public:
    Translations() = default;
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;
    ~Translations();
    // English needs nothing.  Returns false, with the reason in error(),
    // when the language's file is not found: the window stays English.
    bool load(const QString& code, const QStringList& folders = translationFolders());
    const QString& error() const { return error_; }

private:
    std::vector<std::unique_ptr<QTranslator>> installed_;
    QString error_;
};

}  // namespace zelk

#endif
