// translate.h - the one way every text the user sees is put into the
// user's language.
//
// The logic writes its texts in English and marks them for the
// translation tools (lupdate) with a context, the component they belong to:
//
//   translate("Connection", "Off Line")     a text, translated where it is used
//   ZELK_TEXT("Captions", "Left")            a text in a table, translated
//                                            where it is shown (tr(...))
//   fill(translate("ChannelOps", "Are you sure you want to reset %1?"), {name})
//                                            names and numbers go into %1, %2...
//                                            (a translation may change their order)
//
// Without a translator (the tests, q7mctl) every text is the English it
// was written as, byte for byte.  The Qt front end installs its translator
// before it builds the editor.  Texts written to files (configurations,
// the unit's history, settings) are never translated.
#ifndef ZELK_FORM_TRANSLATE_H
#define ZELK_FORM_TRANSLATE_H

#include <initializer_list>
#include <string>
#include <string_view>

#include "form/services.h"

// Marks a text for the translation tools where only a constant may stand;
// the text is put into the user's language where it is shown.
#define ZELK_TEXT(context, text) text

namespace zelk {

// The translator every text goes through from now on (null: English).
// Not owned; installed before the editor is built and removed after it.
void useTranslator(const Translator* translator);

std::string translate(const char* context, const char* text);

// Whom a text is for: a file or another program (English, as written), or
// the user (in the user's language).  Code that writes both says which:
//   words.translate("Settings", "Power On Format")
struct Words {
    bool shown = false;
    std::string translate(const char* context, const char* text) const {
        return shown ? zelk::translate(context, text) : std::string(text);
    }
};
inline constexpr Words kEnglish{false};
inline constexpr Words kShown{true};

// `pattern` with each %1..%9 replaced by the argument of that number, in
// one pass (an argument's own "%1" stays as it is).
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace zelk

#endif
